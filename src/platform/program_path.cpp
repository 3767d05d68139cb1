#include "platform/program_path.h"

#include <windows.h>

#include "platform/ansi_path.h"
#include "platform/path_text.h"
#include "platform/system.h"

const char kProgramFileVariable[] = "KELVON_PROGRAM_FILE";

bool GetProgramPath(char* path, std::size_t capacity) {
    if (capacity == 0) return false;
    // The ANSI call would name a look-alike folder where the code page lacks
    // a character of the true one.
    if (WinNT()) {
        wchar_t wide[kPathSize];
        if (GetProgramPathW(wide, kPathSize) && ExactAnsiPath(wide, path, capacity)) return true;
        path[0] = '\0';
        return false;
    }
    DWORD length = GetModuleFileNameA(nullptr, path, static_cast<DWORD>(capacity));
    // A path that filled the buffer may have been cut.
    if (length == 0 || length >= capacity) {
        path[0] = '\0';
        return false;
    }
    return true;
}

bool GetProgramPathW(wchar_t* path, std::size_t capacity) {
    if (capacity == 0) return false;
    DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(capacity));
    if (length == 0 || length >= capacity) {
        path[0] = L'\0';
        return false;
    }
    return true;
}

bool GetProgramFilePath(char* path, std::size_t capacity) {
    if (capacity == 0) return false;
    DWORD length = GetEnvironmentVariableA(kProgramFileVariable, path, static_cast<DWORD>(capacity));
    if (length == 0) return GetProgramPath(path, capacity);
    if (length >= capacity) {
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
