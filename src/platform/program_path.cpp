#include "platform/program_path.h"

#include <windows.h>

#include "platform/path_text.h"

bool PathBesideProgram(const char* name, char* path, std::size_t capacity) {
    if (capacity == 0) return false;
    DWORD length = GetModuleFileNameA(nullptr, path, static_cast<DWORD>(capacity));
    // A path that filled the buffer may have been cut (and, before Vista,
    // left without its terminator).
    if (length == 0 || length >= capacity || !ReplacePathName(path, capacity, name)) {
        path[0] = '\0';
        return false;
    }
    return true;
}
