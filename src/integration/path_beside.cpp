#include "integration/path_beside.h"

#include <cstring>

#include "platform/path_text.h"

bool ReplacePathName(char* path, std::size_t capacity, const char* name) {
    char* namePosition = PointToName(path);
    std::size_t folderLength = static_cast<std::size_t>(namePosition - path);
    std::size_t nameLength = std::strlen(name);
    if (folderLength + nameLength >= capacity) return false;
    std::memcpy(namePosition, name, nameLength + 1);
    return true;
}
