#include "uninstall/program_folder.h"

#include <cstring>

#include "platform/path_text.h"

bool ProgramFolderOf(const char* programPath, char* folder, std::size_t capacity) {
    // Character by character: in a double-byte code page a trail byte may
    // have the value of a backslash.
    const char* last = nullptr;
    for (const char* p = programPath; *p; p = CharNextDbcs(p)) {
        if (*p == '\\') last = p;
    }
    if (!last) return false;
    bool keepBackslash = last != programPath && last[-1] == ':';
    std::size_t length = static_cast<std::size_t>(last - programPath) + (keepBackslash ? 1 : 0);
    if (length >= capacity) return false;
    std::memcpy(folder, programPath, length);
    folder[length] = '\0';
    return true;
}
