#include "platform/program_path.h"

#include <windows.h>

#include "platform/path_text.h"

bool GetProgramPath(char* path, std::size_t capacity) {
    if (capacity == 0) return false;
    DWORD length = GetModuleFileNameA(nullptr, path, static_cast<DWORD>(capacity));
    // A path that filled the buffer may have been cut.
    if (length == 0 || length >= capacity) {
        path[0] = '\0';
        return false;
    }
    return true;
}

bool PathBesideProgram(const char* name, char* path, std::size_t capacity) {
    if (!GetProgramPath(path, capacity)) return false;
    if (!ReplacePathName(path, capacity, name)) {
        path[0] = '\0';
        return false;
    }
    return true;
}
