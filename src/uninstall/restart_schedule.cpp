#include "uninstall/restart_schedule.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/path_text.h"
#include "platform/system.h"
#include "uninstall/rename_section.h"

namespace {

// What lets a group change which object a path names: removing or renaming
// an entry, taking over the folder's security. Below the volume root also
// adding entries; every Windows lets users add folders to the root, which
// cannot replace one that is there.
constexpr DWORD kChangeRights = DELETE | WRITE_DAC | WRITE_OWNER | FILE_DELETE_CHILD | GENERIC_ALL;
constexpr DWORD kAddRights = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | GENERIC_WRITE;

// The groups that every unelevated process of an interactive user carries.
class UnelevatedGroups {
public:
    UnelevatedGroups() {
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
        complete_ = AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &sids_[0]) &&
                    AllocateAndInitializeSid(&nt, 1, SECURITY_AUTHENTICATED_USER_RID, 0, 0, 0, 0, 0, 0, 0, &sids_[1]) &&
                    AllocateAndInitializeSid(&nt, 1, SECURITY_INTERACTIVE_RID, 0, 0, 0, 0, 0, 0, 0, &sids_[2]) &&
                    AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS, 0, 0, 0, 0, 0,
                                             0, &sids_[3]);
    }
    ~UnelevatedGroups() {
        for (PSID sid : sids_) {
            if (sid) FreeSid(sid);
        }
    }
    UnelevatedGroups(const UnelevatedGroups&) = delete;
    UnelevatedGroups& operator=(const UnelevatedGroups&) = delete;

    bool Complete() const { return complete_; }
    bool Contains(PSID sid) const {
        for (PSID group : sids_) {
            if (group && EqualSid(group, sid)) return true;
        }
        return false;
    }

private:
    PSID sids_[4] = {};
    bool complete_ = false;
};

// Deny entries are not weighed: an allowing entry alone makes the folder
// changeable, which can only refuse a schedule that was safe.
bool OthersMayChange(const wchar_t* folder, DWORD rights, const UnelevatedGroups& groups) {
    const SECURITY_INFORMATION wanted = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD size = 0;
    GetFileSecurityW(folder, wanted, nullptr, 0, &size);
    if (size == 0) return true;
    std::vector<unsigned char> descriptor(size);
    if (!GetFileSecurityW(folder, wanted, descriptor.data(), size, &size)) return true;
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (!GetSecurityDescriptorOwner(descriptor.data(), &owner, &defaulted) || !owner || groups.Contains(owner)) {
        return true;
    }
    BOOL present = FALSE;
    PACL dacl = nullptr;
    // No list at all lets everybody do everything.
    if (!GetSecurityDescriptorDacl(descriptor.data(), &present, &dacl, &defaulted) || !present || !dacl) return true;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace)) return true;
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        if (allowed->Header.AceType != ACCESS_ALLOWED_ACE_TYPE || (allowed->Header.AceFlags & INHERIT_ONLY_ACE)) {
            continue;
        }
        if ((allowed->Mask & rights) && groups.Contains(const_cast<DWORD*>(&allowed->SidStart))) return true;
    }
    return false;
}

// Every folder from the volume root down to the file's. A path that does not
// start at a drive's root (a network share) counts as changeable.
bool OnlyAdministratorsCanChange(const wchar_t* path) {
    if (!(path[0] && path[1] == L':' && path[2] == L'\\')) return false;
    UnelevatedGroups groups;
    if (!groups.Complete()) return false;
    std::wstring folder(path, 3);
    if (OthersMayChange(folder.c_str(), kChangeRights, groups)) return false;
    for (const wchar_t* p = path + 3; *p; ++p) {
        if (*p != L'\\') continue;
        folder.assign(path, static_cast<std::size_t>(p - path));
        if (OthersMayChange(folder.c_str(), kChangeRights | kAddRights, groups)) return false;
    }
    return true;
}

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

}  // namespace

Scheduling ScheduleInWininit(const char* path) {
    char iniPath[kPathSize];
    if (!PathInWindowsFolder(kWininitName, iniPath, sizeof(iniPath))) return Scheduling::Failed;
    // Windows 95, 98 and Me carry out the line before long names exist.
    char shortPath[kPathSize];
    DWORD shortLength = GetShortPathNameA(path, shortPath, sizeof(shortPath));
    if (shortLength == 0 || shortLength >= sizeof(shortPath)) CopyBounded(shortPath, path, sizeof(shortPath));
    std::vector<char> section;
    DWORD sectionLength = 0;
    if (!ReadSection(iniPath, section, sectionLength)) return Scheduling::Failed;
    std::string updated = AddDeletionLine(section.data(), sectionLength, shortPath);
    return WritePrivateProfileSectionA(kRenameSection, updated.data(), iniPath) ? Scheduling::Scheduled
                                                                               : Scheduling::Failed;
}

Scheduling ScheduleDeletionAtRestart(const wchar_t* path) {
    if (!OnlyAdministratorsCanChange(path)) return Scheduling::Unsafe;
    return MoveFileExW(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) ? Scheduling::Scheduled : Scheduling::Failed;
}
