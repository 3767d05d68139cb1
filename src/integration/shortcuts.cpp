#include "integration/shortcuts.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <cwchar>
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

// Saves a shell link to `linkPath`; `Link` is IShellLinkA or IShellLinkW, and
// `Char` the character type of its texts.
template <typename Link, typename Char>
bool SaveShellLink(REFIID interfaceId, const Char* target, const wchar_t* linkPath, const Char* description) {
    Link* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, interfaceId,
                                reinterpret_cast<void**>(&link)))) {
        return false;
    }
    link->SetPath(target);
    link->SetDescription(description);
    bool saved = false;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        saved = SUCCEEDED(file->Save(linkPath, TRUE));
        file->Release();
    }
    link->Release();
    return saved;
}

static_assert(kPathSize >= MAX_PATH, "SHGetPathFromIDListA writes up to MAX_PATH bytes");

const char kLinkName[] = "Kelvon.lnk";
const char kGroupName[] = "Kelvon";
const wchar_t kGroupNameW[] = L"Kelvon";
const char kLinkExtension[] = ".lnk";
const wchar_t kLinkExtensionW[] = L".lnk";

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
// The same in UTF-16 for the NT family, whose file names hold characters
// that the system's code page may lack: the group's Chinese link names on a
// Western Windows without a catalog, for one.
using GroupLinkNamesW = wchar_t[kGroupLinkCount][kPathSize];

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
    bool found =
        ReadSpecialFolder(csidl, [path](LPITEMIDLIST items) { return SHGetPathFromIDListW(items, path) != 0; });
    return found && path[0] != L'\0';
}

// A folder the system cannot name gives no path at all: an empty one would
// put links and groups relative to the current folder. On the NT family the
// ANSI form must name exactly the folder: an unelevated process can redirect
// the user's folders under HKCU to a name the code page lacks characters of.
// There `widePath` (MAX_PATH units, or null) receives the path in UTF-16 too.
bool GetSpecialFolder(int csidl, char* path, wchar_t* widePath = nullptr) {
    path[0] = '\0';
    if (WinNT()) {
        wchar_t wide[MAX_PATH];
        if (!GetSpecialFolderWide(csidl, wide) || !ExactAnsiPath(wide, path, kPathSize)) return false;
        if (widePath) std::wcscpy(widePath, wide);
        return true;
    }
    bool found =
        ReadSpecialFolder(csidl, [path](LPITEMIDLIST items) { return SHGetPathFromIDListA(items, path) != 0; });
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

// folder\name in UTF-16, in a kPathSize buffer; false when it does not fit.
bool PathInFolderW(const wchar_t* folder, const wchar_t* name, wchar_t* path) {
    const std::size_t length = std::wcslen(folder);
    const bool slash = length > 0 && folder[length - 1] == L'\\';
    if (length + 1 + std::wcslen(name) >= kPathSize) return false;
    std::wcscpy(path, folder);
    if (!slash) std::wcscat(path, L"\\");
    std::wcscat(path, name);
    return true;
}

// `name` beside the program as the file system names it (the NT family):
// the program's ANSI path may be its short form, or have no exact form.
bool PathBesideProgramW(const char* name, wchar_t* path) {
    wchar_t folder[kPathSize];
    wchar_t wideName[kPathSize];
    if (!GetProgramPathW(folder, kPathSize)) return false;
    std::size_t end = std::wcslen(folder);
    while (end > 0 && folder[end - 1] != L'\\') --end;
    if (end == 0) return false;
    folder[end] = L'\0';
    return MultiByteToWideChar(CP_ACP, 0, name, -1, wideName, kPathSize) != 0 && PathInFolderW(folder, wideName, path);
}

// A link at `link` to the file `name` beside the program, through the wide
// interface (the NT family).
void SaveLinkW(const char* name, const wchar_t* link) {
    wchar_t description[kMessageSize];
    if (!GetMsgW(IDS_SHORTCUT_COMMENT, description, kMessageSize)) description[0] = L'\0';
    wchar_t target[kPathSize];
    const bool saved = PathBesideProgramW(name, target) && CreateShellLinkW(target, link, description);
    if (RunLogActive) {
        char shownLink[kPathSize];
        char shownTarget[kPathSize];
        if (!WideCharToMultiByte(CP_ACP, 0, link, -1, shownLink, kPathSize, nullptr, nullptr)) shownLink[0] = '\0';
        if (!saved || !WideCharToMultiByte(CP_ACP, 0, target, -1, shownTarget, kPathSize, nullptr, nullptr)) {
            CopyBounded(shownTarget, name, sizeof(shownTarget));
        }
        LogAction(saved ? 0 : kLogFailed, "shortcut: created %s -> %s", shownLink, shownTarget);
    }
}

// A link at `link` to the file `name` beside the program. On the NT family
// the ANSI link path names exactly its file, and the target is taken as the
// file system names it.
void SaveLink(const char* name, const char* link) {
    if (WinNT()) {
        wchar_t wideLink[kPathSize];
        if (MultiByteToWideChar(CP_ACP, 0, link, -1, wideLink, kPathSize) != 0) SaveLinkW(name, wideLink);
        return;
    }
    char target[kPathSize];
    const bool saved = PathBesideProgram(name, target, sizeof(target)) &&
                       CreateShellLink(target, link, GetMsg(IDS_SHORTCUT_COMMENT));
    if (RunLogActive) LogAction(saved ? 0 : kLogFailed, "shortcut: created %s -> %s", link, saved ? target : name);
}

// A link that was not there is no action for the log.
void DeleteLink(const char* link) {
    DWORD result = DeleteFileA(link) ? ERROR_SUCCESS : GetLastError();
    if (RunLogActive && result != ERROR_FILE_NOT_FOUND && result != ERROR_PATH_NOT_FOUND) {
        LogAction(static_cast<long>(result), "shortcut: deleted %s", link);
    }
}

// The desktop or Start menu link in `folder`: saved when wanted, else deleted.
void PlaceLink(const char* folder, bool wanted) {
    char link[kPathSize];
    if (!PathInFolder(folder, kLinkName, link)) return;
    if (!wanted) {
        DeleteLink(link);
    } else {
        SaveLink(kArchiverName, link);
    }
}

void FillGroupW(const wchar_t* group, const GroupLinkNamesW& names) {
    for (int i = 0; i < kGroupLinkCount; ++i) {
        wchar_t fileName[kPathSize];
        wchar_t link[kPathSize];
        const std::size_t length = std::wcslen(names[i]);
        if (length + sizeof(kLinkExtension) > kPathSize) continue;
        std::wcscpy(fileName, names[i]);
        std::wcscat(fileName, kLinkExtensionW);
        if (PathInFolderW(group, fileName, link)) SaveLinkW(kGroupLinks[i].target, link);
    }
}

void FillGroup(const char* group, const GroupLinkNames& names) {
    for (int i = 0; i < kGroupLinkCount; ++i) {
        char fileName[kPathSize];
        char link[kPathSize];
        if (FormatInto(fileName, sizeof(fileName), "%s%s", names[i], kLinkExtension) &&
            PathInFolder(group, fileName, link)) {
            SaveLink(kGroupLinks[i].target, link);
        }
    }
}

// Our own links in the group, by name, then the group folder if that left it
// empty. Anything else in it stays: a link, what a link leads to, and the
// user's own files. The group's folder lies in the user's reach, and the
// programs folder itself may be redirected anywhere under HKCU. Through the
// walk from `widePrograms` on the NT family, by path on Windows 95, 98 and Me.
void RemoveGroup(const wchar_t* widePrograms, const char* group, const GroupLinkNames& names,
                 const GroupLinkNamesW& wideNames) {
    std::unique_ptr<FolderWalk> walk;
    if (widePrograms) walk.reset(new FolderWalk(widePrograms));
    std::wstring entry;
    for (int i = 0; i < kGroupLinkCount; ++i) {
        char fileName[kPathSize];
        char path[kPathSize];
        if (!FormatInto(fileName, sizeof(fileName), "%s%s", names[i], kLinkExtension) ||
            !PathInFolder(group, fileName, path)) {
            continue;
        }
        entry = std::wstring(kGroupNameW) + L"\\" + wideNames[i] + kLinkExtensionW;
        Fate fate = walk ? walk->Remove(entry.c_str()) : RemoveByPath(path);
        if (RunLogActive && fate != Fate::NotFound) {
            LogAction(fate == Fate::Deleted ? 0 : kLogFailed, "shortcut: deleted %s", path);
        }
    }
    Fate fate = walk ? walk->Remove(kGroupNameW) : RemoveByPath(group);
    if (!RunLogActive || fate == Fate::NotFound) return;
    if (fate == Fate::FolderWaiting) {
        LogLine("folder: %s holds other files, left", group);
    } else {
        LogAction(fate == Fate::Removed ? 0 : kLogFailed, "folder: removed %s", group);
    }
}

// The group in one programs folder, made anew with its links, or removed.
// With `widePrograms` (the NT family) the group is made and filled through
// the wide calls.
void UpdateGroup(const char* programsFolder, const wchar_t* widePrograms, bool wanted, const GroupLinkNames& names,
                 const GroupLinkNamesW& wideNames, wchar_t* groupFolder) {
    char group[kPathSize];
    wchar_t wideGroup[kPathSize];
    if (!PathInFolder(programsFolder, kGroupName, group)) return;
    if (widePrograms && !PathInFolderW(widePrograms, kGroupNameW, wideGroup)) return;
    RemoveGroup(widePrograms, group, names, wideNames);
    if (!wanted) return;
    // What stands under the group's name now is kept; links are made in it
    // only when it is a plain folder, never through a link planted there.
    DWORD attributes = GetFileAttributesA(group);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        if (RunLogActive) LogLine("folder: %s is a link, no shortcuts made in it", group);
        return;
    }
    const BOOL created = widePrograms ? CreateDirectoryW(wideGroup, nullptr) : CreateDirectoryA(group, nullptr);
    DWORD result = created ? ERROR_SUCCESS : GetLastError();
    if (RunLogActive && result != ERROR_ALREADY_EXISTS) {
        LogAction(static_cast<long>(result), "folder: created %s", group);
    }
    if (groupFolder && FileExists(group, widePrograms ? wideGroup : nullptr)) {
        if (widePrograms) {
            std::wcscpy(groupFolder, wideGroup);
        } else if (MultiByteToWideChar(CP_ACP, 0, group, -1, groupFolder, kPathSize) == 0) {
            groupFolder[0] = L'\0';
        }
    }
    if (widePrograms) {
        FillGroupW(wideGroup, wideNames);
    } else {
        FillGroup(group, names);
    }
}

}  // namespace

bool CreateShellLink(const char* target, const char* linkPath, const char* description) {
    // A path that does not fit is not converted at all, so never saved
    // under a cut name.
    wchar_t name[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, name, MAX_PATH) == 0) return false;
    return SaveShellLink<IShellLinkA>(IID_IShellLinkA, target, name, description);
}

bool CreateShellLinkW(const wchar_t* target, const wchar_t* linkPath, const wchar_t* description) {
    if (std::wcslen(linkPath) >= MAX_PATH) return false;
    return SaveShellLink<IShellLinkW>(IID_IShellLinkW, target, linkPath, description);
}

bool GetDesktopFolder(char* path) { return GetSpecialFolder(CSIDL_DESKTOPDIRECTORY, path); }

bool GetCommonDesktopFolder(char* path) { return GetSpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY, path); }

void CreateShortcuts(const IntegrationSettings& settings, wchar_t* groupFolder) {
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
    if (found) PlaceLink(folder, settings.flag[DesktopLink] != 0);

    if (GetSpecialFolder(vista ? CSIDL_COMMON_STARTMENU : CSIDL_STARTMENU, folder)) {
        PlaceLink(folder, settings.flag[StartMenuLink] != 0);
    }

    GroupLinkNames names;
    GroupLinkNamesW wideNames;
    for (int i = 0; i < kGroupLinkCount; ++i) {
        unsigned message = kGroupLinks[i].nameMessage;
        CopyBounded(names[i], message ? GetMsg(message) : kGroupName, sizeof(names[i]));
        if (!message || !GetMsgW(message, wideNames[i], kPathSize)) {
            MultiByteToWideChar(CP_ACP, 0, names[i], -1, wideNames[i], kPathSize);
        }
    }
    bool group = settings.flag[ProgramGroupLinks] != 0;
    const bool nt = WinNT() != 0;
    wchar_t widePrograms[MAX_PATH];
    if (GetSpecialFolder(CSIDL_PROGRAMS, folder, nt ? widePrograms : nullptr)) {
        UpdateGroup(folder, nt ? widePrograms : nullptr, group, names, wideNames, groupFolder);
    }
    // Windows 95/98/Me have no all-users programs folder of their own.
    if (nt && GetSpecialFolder(CSIDL_COMMON_PROGRAMS, folder, widePrograms)) {
        UpdateGroup(folder, widePrograms, group, names, wideNames, groupFolder);
    }
}
