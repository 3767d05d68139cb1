#include "uninstall/self_rename.h"

#include <windows.h>

#include <cstring>

#include "platform/ansi_path.h"
#include "platform/path_text.h"
#include "platform/program_path.h"
#include "platform/random_bits.h"
#include "uninstall/temporary_name.h"

namespace {

// Random names tried before the folder counts as unusable.
constexpr int kRenameTries = 100;

bool ToWide(const char* ansi, wchar_t* wide, std::size_t capacity) {
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi, -1, wide, static_cast<int>(capacity)) != 0;
}

}  // namespace

bool RenameRunningProgram(const char* programPath, char* uniquePath, std::size_t capacity) {
    // Only a path that is the exact ANSI form of the program's own, long or
    // short, may give the unique name: any other would rename, and the script
    // delete, a look-alike.
    wchar_t own[kPathSize];
    char exact[kPathSize];
    if (!GetProgramPathW(own, kPathSize) || !ExactAnsiPath(own, exact, sizeof(exact)) ||
        std::strcmp(exact, programPath) != 0) {
        return false;
    }
    char stem[kRandomStemLength + 1];
    char name[kPathSize];
    wchar_t unique[kPathSize];
    for (int i = 0; i < kRenameTries; ++i) {
        FormRandomStem(RandomBits(), stem);
        if (!FormUniqueProgramName(PointToName(programPath), stem, name, sizeof(name)) ||
            !FormatInto(uniquePath, capacity, "%s", programPath) || !ReplacePathName(uniquePath, capacity, name) ||
            !ToWide(uniquePath, unique, kPathSize)) {
            return false;
        }
        if (MoveFileW(own, unique)) {
            SetEnvironmentVariableA(kProgramFileVariable, uniquePath);
            return true;
        }
        DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

void RestoreProgramName(const char* programPath, const char* uniquePath) {
    wchar_t own[kPathSize];
    wchar_t unique[kPathSize];
    if (ToWide(programPath, own, kPathSize) && ToWide(uniquePath, unique, kPathSize) && MoveFileW(unique, own)) {
        SetEnvironmentVariableA(kProgramFileVariable, nullptr);
    }
}
