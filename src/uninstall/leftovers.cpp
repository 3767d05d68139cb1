#include "uninstall/leftovers.h"

#include <windows.h>

#include <string>

#include "platform/run_log.h"
#include "platform/system.h"

void LogProgramFolderLeftovers(const char* folder, const char* programName) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("*", &found);
    if (search == INVALID_HANDLE_VALUE) return;
    std::string names;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == ".." || CompareNoCase(found.cFileName, programName) == 0) continue;
        names += (names.empty() ? "" : ", ") + name + ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? "\\" : "");
    } while (FindNextFileA(search, &found));
    FindClose(search);
    if (!names.empty()) LogKept("folder: kept %s: not empty, it still holds: %s", folder, names.c_str());
}
