#include "integration/shortcuts.h"

#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <string>

#include "integration/archiver.h"
#include "localization/messages.h"
#include "platform/ansi_path.h"
#include "platform/file.h"
#include "platform/handle_walk.h"
#include "platform/path_text.h"
#include "platform/program_path.h"
#include "platform/run_log.h"
#include "platform/system.h"
#include "resources/resource_ids.h"

namespace {

static_assert(kPathSize >= MAX_PATH, "SHGetPathFromIDListA writes up to MAX_PATH bytes");

const char kLinkName[] = "Kelvon.lnk";
const char kGroupName[] = "Kelvon";
const char kGroupLinkNameFormat[] = "%s.lnk";

// The program group's links: the first is always named "Kelvon", the others
// by messages that a catalog may translate.
struct GroupLink {
    unsigned nameMessage;  // 0: kGroupName
    const char* target;
};
constexpr int kGroupLinkCount = 3;
const GroupLink kGroupLinks[kGroupLinkCount] = {
    {0, kArchiverName},
    {IDS_HELP_LINK_NAME, kHelpFileName},
    {IDS_MANUAL_LINK_NAME, "Vok.txt"},
};
using GroupLinkNames = char[kGroupLinkCount][kPathSize];

// The folder's item list, handed to `read` and freed afterwards.
template <typename Read>
bool ReadSpecialFolder(int csidl, Read read) {
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &items)) || !items) return false;
    bool found = read(items);
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator))) {
        allocator->Free(items);
        allocator->Release();
    }
    return found;
}

// The same as the file system names it, on the NT family.
bool GetSpecialFolderWide(int csidl, wchar_t* path) {
    path[0] = L'\0';
    bool found = ReadSpecialFolder(csidl, [path](LPITEMIDLIST items) { return SHGetPathFromIDListW(items, path) != 0; });
    return found && path[0] != L'\0';
}

// A folder the system cannot name gives no path at all: an empty one would
// put links and groups relative to the current folder. On the NT family the
// ANSI form must name exactly the folder: an unelevated process can redirect
// the user's folders under HKCU to a name the code page lacks characters of.
bool GetSpecialFolder(int csidl, char* path) {
    path[0] = '\0';
    if (WinNT()) {
        wchar_t wide[MAX_PATH];
        return GetSpecialFolderWide(csidl, wide) && ExactAnsiPath(wide, path, kPathSize);
    }
    bool found = ReadSpecialFolder(csidl, [path](LPITEMIDLIST items) { return SHGetPathFromIDListA(items, path) != 0; });
    if (!found || path[0] == '\0') {
        path[0] = '\0';
        return false;
    }
    return true;
}

// folder\name in a kPathSize buffer; false when it does not fit.
bool PathInFolder(const char* folder, const char* name, char* path) {
    return FormatInto(path, kPathSize, "%s", folder) && AddEndSlash(path, kPathSize) &&
           ReplacePathName(path, kPathSize, name);
}

void SaveLink(const char* target, const char* link) {
    bool saved = CreateShellLink(target, link, GetMsg(IDS_SHORTCUT_COMMENT));
    if (RunLogActive) LogAction(saved ? 0 : kLogFailed, "shortcut: created %s -> %s", link, target);
}

// A link that was not there is no action for the log.
void DeleteLink(const char* link) {
    DWORD result = DeleteFileA(link) ? ERROR_SUCCESS : GetLastError();
    if (RunLogActive && result != ERROR_FILE_NOT_FOUND && result != ERROR_PATH_NOT_FOUND) {
        LogAction(static_cast<long>(result), "shortcut: deleted %s", link);
    }
}

// The desktop or Start menu link in `folder`: saved when wanted, else deleted.
void PlaceLink(const char* folder, bool wanted, const char* archiver) {
    char link[kPathSize];
    if (!PathInFolder(folder, kLinkName, link)) return;
    if (!wanted) {
        DeleteLink(link);
    } else if (archiver) {
        SaveLink(archiver, link);
    }
}

void FillGroup(const char* group, const GroupLinkNames& names) {
    for (int i = 0; i < kGroupLinkCount; ++i) {
        char fileName[kPathSize];
        char link[kPathSize];
        char target[kPathSize];
        if (FormatInto(fileName, sizeof(fileName), kGroupLinkNameFormat, names[i]) &&
            PathInFolder(group, fileName, link) && PathBesideProgram(kGroupLinks[i].target, target, sizeof(target))) {
            SaveLink(target, link);
        }
    }
}

// Removes `entry` (a path below the programs folder) through the walk on the
// NT family, by its path `path` on Windows 95, 98 and Me.
Fate RemoveFromGroup(FolderWalk* walk, const char* entry, const char* path) {
    if (!walk) return RemoveByPath(path);
    std::wstring wide;
    return AnsiToWide(entry, wide) ? walk->Remove(wide.c_str()) : Fate::NotText;
}

// Our own links in the group, by name, then the group folder if that left it
// empty. Anything else in it stays: a link, what a link leads to, and the
// user's own files. The group's folder lies in the user's reach, and the
// programs folder itself may be redirected anywhere under HKCU.
void RemoveGroup(int csidl, const char* group, const GroupLinkNames& names) {
    wchar_t programs[MAX_PATH];
    FolderWalk* walk = nullptr;
    std::unique_ptr<FolderWalk> held;
    if (WinNT()) {
        if (!GetSpecialFolderWide(csidl, programs)) return;
        held.reset(new FolderWalk(programs));
        walk = held.get();
    }
    char entry[kPathSize];
    char path[kPathSize];
    for (int i = 0; i < kGroupLinkCount; ++i) {
        if (!FormatInto(entry, sizeof(entry), "%s\\%s.lnk", kGroupName, names[i]) || !PathInFolder(group, PointToName(entry), path)) {
            continue;
        }
        Fate fate = RemoveFromGroup(walk, entry, path);
        if (RunLogActive && fate != Fate::NotFound) LogAction(fate == Fate::Deleted ? 0 : kLogFailed, "shortcut: deleted %s", path);
    }
    Fate fate = RemoveFromGroup(walk, kGroupName, group);
    if (!RunLogActive || fate == Fate::NotFound) return;
    if (fate == Fate::FolderWaiting) {
        LogLine("folder: %s holds other files, left", group);
    } else {
        LogAction(fate == Fate::Removed ? 0 : kLogFailed, "folder: removed %s", group);
    }
}

// The group in one programs folder, made anew with its links, or removed.
void UpdateGroup(int csidl, const char* programsFolder, bool wanted, const GroupLinkNames& names, char* groupFolder) {
    char group[kPathSize];
    if (!PathInFolder(programsFolder, kGroupName, group)) return;
    RemoveGroup(csidl, group, names);
    if (!wanted) return;
    // What stands under the group's name now is kept; links are made in it
    // only when it is a plain folder, never through a link planted there.
    DWORD attributes = GetFileAttributesA(group);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        if (RunLogActive) LogLine("folder: %s is a link, no shortcuts made in it", group);
        return;
    }
    DWORD result = CreateDirectoryA(group, nullptr) ? ERROR_SUCCESS : GetLastError();
    if (RunLogActive && result != ERROR_ALREADY_EXISTS) LogAction(static_cast<long>(result), "folder: created %s", group);
    if (groupFolder && FileExists(group, nullptr)) CopyBounded(groupFolder, group, kPathSize);
    FillGroup(group, names);
}

}  // namespace

bool CreateShellLink(const char* target, const char* linkPath, const char* description) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link)))) {
        return false;
    }
    link->SetPath(target);
    link->SetDescription(description);
    bool saved = false;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        // A path that does not fit is not converted at all, so never saved
        // under a cut name.
        wchar_t name[MAX_PATH];
        if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, name, MAX_PATH) != 0) {
            saved = SUCCEEDED(file->Save(name, TRUE));
        }
        file->Release();
    }
    link->Release();
    return saved;
}

bool GetDesktopFolder(char* path) { return GetSpecialFolder(CSIDL_DESKTOPDIRECTORY, path); }

bool GetCommonDesktopFolder(char* path) { return GetSpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY, path); }

void CreateShortcuts(const IntegrationSettings& settings, char* groupFolder) {
    char archiverPath[kPathSize];
    const char* archiver = PathBesideProgram(kArchiverName, archiverPath, sizeof(archiverPath)) ? archiverPath : nullptr;
    bool vista = WinNT() >= 6;
    char folder[kPathSize];

    bool found = GetDesktopFolder(folder);
    if (vista) {
        // From Vista on the link is the all-users one; a per-user link of the
        // same name would show twice.
        char perUserLink[kPathSize];
        if (found && PathInFolder(folder, kLinkName, perUserLink)) DeleteLink(perUserLink);
        found = GetCommonDesktopFolder(folder);
    }
    if (found) PlaceLink(folder, settings.flag[DesktopLink] != 0, archiver);

    if (GetSpecialFolder(vista ? CSIDL_COMMON_STARTMENU : CSIDL_STARTMENU, folder)) {
        PlaceLink(folder, settings.flag[StartMenuLink] != 0, archiver);
    }

    GroupLinkNames names;
    for (int i = 0; i < kGroupLinkCount; ++i) {
        unsigned message = kGroupLinks[i].nameMessage;
        CopyBounded(names[i], message ? GetMsg(message) : kGroupName, sizeof(names[i]));
    }
    bool group = settings.flag[ProgramGroupLinks] != 0;
    if (GetSpecialFolder(CSIDL_PROGRAMS, folder)) UpdateGroup(CSIDL_PROGRAMS, folder, group, names, groupFolder);
    // Windows 95/98/Me have no all-users programs folder of their own.
    if (WinNT() && GetSpecialFolder(CSIDL_COMMON_PROGRAMS, folder)) {
        UpdateGroup(CSIDL_COMMON_PROGRAMS, folder, group, names, groupFolder);
    }
}
