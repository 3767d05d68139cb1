#include "uninstall/restart_schedule.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/path_text.h"
#include "platform/system.h"
#include "uninstall/rename_section.h"

namespace {

// The section is rewritten as a whole, so it must have been read whole.
constexpr DWORD kFirstSectionSize = 4096;
constexpr DWORD kLargestSectionSize = 1u << 20;

bool ReadSection(const char* iniPath, std::vector<char>& section, DWORD& length) {
    for (DWORD size = kFirstSectionSize; size <= kLargestSectionSize; size *= 2) {
        section.assign(size, '\0');
        length = GetPrivateProfileSectionA(kRenameSection, section.data(), size, iniPath);
        // A section that did not fit comes back cut, with size - 2 as its length.
        if (length + 2 < size) return true;
    }
    return false;
}

bool ScheduleInWininit(const char* path) {
    char iniPath[kPathSize];
    if (!PathInWindowsFolder(kWininitName, iniPath, sizeof(iniPath))) return false;
    // Windows 95, 98 and Me carry out the line before long names exist.
    char shortPath[kPathSize];
    DWORD shortLength = GetShortPathNameA(path, shortPath, sizeof(shortPath));
    if (shortLength == 0 || shortLength >= sizeof(shortPath)) CopyBounded(shortPath, path, sizeof(shortPath));
    std::vector<char> section;
    DWORD sectionLength = 0;
    if (!ReadSection(iniPath, section, sectionLength)) return false;
    std::string updated = AddDeletionLine(section.data(), sectionLength, shortPath);
    return WritePrivateProfileSectionA(kRenameSection, updated.data(), iniPath) != 0;
}

}  // namespace

bool ScheduleDeletionAtRestart(const char* path) {
    if (WinNT()) return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
    return ScheduleInWininit(path);
}
