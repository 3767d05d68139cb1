#include "localization/file_name.h"

#include <cstring>

#include "platform/path_text.h"

bool ReplaceFileName(char* path, std::size_t capacity, const char* name) {
    char* start = PointToName(path);
    std::size_t kept = static_cast<std::size_t>(start - path);
    std::size_t nameLength = std::strlen(name);
    if (kept + nameLength >= capacity) return false;
    std::memcpy(start, name, nameLength + 1);
    return true;
}

bool ContainsBackslash(const char* s) {
    for (const char* p = s; *p; p = CharNextDbcs(p)) {
        if (*p == '\\') return true;
    }
    return false;
}
