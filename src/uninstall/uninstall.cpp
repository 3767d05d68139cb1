#include "uninstall/uninstall.h"

#include <windows.h>

#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "entry/app_state.h"
#include "entry/startup.h"
#include "integration/program_registration.h"
#include "integration/shell_new.h"
#include "localization/language_library.h"
#include "localization/messages.h"
#include "platform/file.h"
#include "platform/path_text.h"
#include "platform/program_path.h"
#include "platform/run_log.h"
#include "platform/system.h"
#include "resources/resource_ids.h"
#include "uninstall/deletion_walk.h"
#include "uninstall/leftovers.h"
#include "uninstall/list_passes.h"
#include "uninstall/path_access.h"
#include "uninstall/program_folder.h"
#include "uninstall/removal_list.h"
#include "ui/notice.h"
#include "uninstall/script_start.h"
#include "uninstall/temporary_name.h"

namespace {

// Index files that the help viewer writes beside the help file; the list
// cannot name them, since the installer never made them.
const char* const kHelpIndexFiles[] = {"kelvon.gid", "kelvon.fts"};
// Nor the New-menu templates that setup wrote beside the program; left
// behind, they would keep the program folder from going.
const char* const kSetupFiles[] = {kZipTemplateName, kNativeTemplateName};
constexpr unsigned kListReadSize = 65536;

bool ConfirmUninstall() {
    return ShowNotice("5107 confirmation", GetMsg(IDS_CONFIRM_UNINSTALL), GetMsg(IDS_UNINSTALL_CAPTION),
                      MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND) == IDYES;
}

void ShowCannotOpenList() {
    char text[kMessageSize];
    // A long translation is cut at the buffer's end, at a character boundary.
    FormatInto(text, sizeof(text), GetFormatMsg(IDS_CANNOT_OPEN_LIST), kListName);
    DropCutLeadByte(text);
    ShowNotice("5108 list missing", text, GetMsg(IDS_UNINSTALL_CAPTION), MB_SETFOREGROUND | MB_ICONERROR);
}

void ShowRestartNotice() {
    ShowNotice("5114 restart needed", GetMsg(IDS_RESTART_NEEDED), GetMsg(IDS_UNINSTALL_CAPTION),
               MB_SETFOREGROUND | MB_ICONINFORMATION);
}

// Opens the list in the current directory and reads it whole; the file stays
// open until the passes are over. A list that cannot be read counts as one
// that cannot be opened: nothing may be removed on the strength of part of it.
bool ReadList(File& list, std::string& text) {
    if (!list.Open(kListName, nullptr, true, false)) return false;
    std::string chunk(kListReadSize, '\0');
    for (;;) {
        int read = list.Read(&chunk[0], kListReadSize);
        if (read < 0) return false;
        if (read == 0) return true;
        text.append(chunk, 0, static_cast<std::size_t>(read));
    }
}

// Files beside the program, in `folder`; a link planted under one of their
// names stays, and so does what it leads to.
void DeleteFiles(EntryAccess& access, const char* const* names, std::size_t count, const char* folder) {
    for (std::size_t i = 0; i < count; ++i) {
        char path[kPathSize];
        if (!FormatInto(path, sizeof(path), "%s%s", folder, names[i])) continue;
        Fate fate = access.Remove({path, path + std::strlen(folder)});
        if (RunLogActive && fate != Fate::NotFound) {
            LogAction(fate == Fate::Deleted ? 0 : kLogFailed, "file: deleted %s", path);
        }
    }
}

// The program's path on the NT family: as the file system names it, and in
// ANSI for the log and the removal script. `exact` tells whether the ANSI
// form names the program itself; where it does not, it only serves the log.
// `folder` ends in a backslash.
bool ProgramPathsNT(std::wstring& folder, char* programPath, bool& exact) {
    wchar_t program[kPathSize];
    if (!GetProgramPathW(program, kPathSize)) return false;
    folder = program;
    folder.resize(folder.find_last_of(L'\\') + 1);
    exact = GetProgramPath(programPath, kPathSize);
    return exact || WideToAnsi(program, programPath, kPathSize);
}

// Through held handles on the NT family, by path on Windows 95, 98 and Me.
std::unique_ptr<EntryAccess> ReachEntries(const std::wstring& folder) {
    if (WinNT()) return std::unique_ptr<EntryAccess>(new DeletionWalk(folder.c_str()));
    return std::unique_ptr<EntryAccess>(new PathAccess());
}

const char* RefusalReason(EntryCheck check) {
    switch (check) {
        case EntryCheck::Outside: return "outside the program folder";
        case EntryCheck::Ambiguous: return "a name Windows reads two ways";
        default: return "too long for a path";
    }
}

// An uninstallation ended after its list was gone but before the hand-over
// leaves nothing in the current directory but the program, its unique names
// and files waiting for the restart. A name that the ANSI code page cannot
// hold counts as something else.
bool OnlyHandOverLeft(const char* programName) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("*", &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool only = true;
    do {
        const char* name = found.cFileName;
        if (!std::strcmp(name, ".") || !std::strcmp(name, "..")) continue;
        only = !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
               (CompareNoCase(name, programName) == 0 || IsUniqueProgramName(programName, name) ||
                IsTemporaryName(name));
    } while (only && FindNextFileA(search, &found));
    FindClose(search);
    return only;
}

// The unique names that an earlier run gave itself; they no longer run.
void DeleteEarlierProgramNames(EntryAccess& access, const char* programName, const char* folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("*", &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const char* name = found.cFileName;
        if (IsUniqueProgramName(programName, name)) DeleteFiles(access, &name, 1, folder);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// The last step of every uninstallation. A script by a path that names a
// look-alike of the program would delete and start whatever stands there:
// without the exact form, none is written. Without the script the program and
// its folder stay: the user is told to delete them, as the script would have.
HandOverResult HandOverToScript(const char* programPath, bool exactPath) {
    HandOverResult handOver = exactPath ? StartRemovalScript(programPath) : HandOverResult::NotStarted;
    if (handOver != HandOverResult::Started) ShowDeleteManuallyNotice();
    return handOver;
}

void LogRefusedEntries(const std::vector<RefusedEntry>& refused) {
    for (const RefusedEntry& entry : refused) {
        LogLine("list: %s: refused: %s", entry.entry.c_str(), RefusalReason(entry.check));
    }
}

// "; N things" for the closing line, when there are any.
void AddCount(std::string& summary, std::size_t count, const char* one, const char* many) {
    if (count) summary += "; " + std::to_string(count) + " " + (count == 1 ? one : many);
}

const char* HandOverFailure(HandOverResult result) {
    switch (result) {
        case HandOverResult::Started:
            return nullptr;
        case HandOverResult::NotRenamed:
            return "the program file could not be renamed: the program and its folder stay";
        case HandOverResult::NotStarted:
            break;
    }
    return "the removal script could not be started: the program and its folder stay";
}

void SetUninstallOutcome(const RemovalList& entries, const PassOutcome& outcome, HandOverResult handOver) {
    // What the run meant to remove but kept makes it incomplete, whatever the
    // lines above said of each action.
    std::string summary = KeptCount() || outcome.foldersLeft || handOver != HandOverResult::Started
                              ? "uninstall incomplete"
                              : "uninstall complete";
    AddCount(summary, static_cast<std::size_t>(outcome.scheduled), "file at the next restart",
             "files at the next restart");
    AddCount(summary, entries.refused.size() + static_cast<std::size_t>(outcome.throughLinks),
             "list entry refused", "list entries refused");
    AddCount(summary, static_cast<std::size_t>(outcome.leftInUse), "file in use left in place",
             "files in use left in place");
    AddCount(summary, static_cast<std::size_t>(outcome.foldersLeft), "folder not empty, left",
             "folders not empty, left");
    if (const char* failure = HandOverFailure(handOver)) summary += std::string("; ") + failure;
    SetRunOutcome("%s", summary.c_str());
}

}  // namespace

UninstallOutcome Uninstall() {
    // Only this run's own rename may say where the program file now is: a
    // value from the user's environment would name another file in 5106.
    SetEnvironmentVariableA(kProgramFileVariable, nullptr);
    char programPath[kPathSize];
    char folder[kPathSize];
    std::wstring wideFolder;
    bool exactPath = false;
    // The list, the help index files and the script's folder are all taken
    // from the current directory: without it, nothing is done at all.
    SetRunOutcome("uninstall stopped: the program's folder cannot be used");
    bool found = WinNT() ? ProgramPathsNT(wideFolder, programPath, exactPath)
                         : (exactPath = GetProgramPath(programPath, sizeof(programPath)));
    if (!found || !ProgramFolderOf(programPath, folder, sizeof(folder)) ||
        !(WinNT() ? SetCurrentDirectoryW(wideFolder.c_str()) : SetCurrentDirectoryA(folder)) ||
        !AddEndSlash(folder, sizeof(folder))) {
        return UninstallOutcome::Failed;
    }
    if (!AppState.Silent && !ConfirmUninstall()) {
        SetRunOutcome("uninstall cancelled: not confirmed");
        return UninstallOutcome::Declined;
    }

    File list;
    std::string listText;
    if (!ReadList(list, listText)) {
        if (OnlyHandOverLeft(PointToName(programPath))) {
            DeleteEarlierProgramNames(*ReachEntries(wideFolder), PointToName(programPath), folder);
            const char* failure = HandOverFailure(HandOverToScript(programPath, exactPath));
            SetRunOutcome("uninstall %s: an interrupted uninstallation finished%s%s",
                          failure ? "incomplete" : "complete", failure ? "; " : "", failure ? failure : "");
            return failure ? UninstallOutcome::Failed : UninstallOutcome::Done;
        }
        SetRunOutcome("uninstall stopped: cannot open %s", kListName);
        ShowCannotOpenList();
        return UninstallOutcome::Failed;
    }
    RemoveIntegration();
    LanguageLibrary::Unload();
    std::unique_ptr<EntryAccess> access = ReachEntries(wideFolder);
    DeleteFiles(*access, kHelpIndexFiles, std::size(kHelpIndexFiles), folder);
    DeleteFiles(*access, kSetupFiles, std::size(kSetupFiles), folder);
    RemovalList entries = ReadRemovalList(listText, folder);
    if (RunLogActive) LogRefusedEntries(entries.refused);
    PassOutcome outcome = RemoveListedEntries(*access, entries.paths, std::strlen(folder), PointToName(programPath));
    list.Close();
    const char* const listName[] = {kListName};
    DeleteFiles(*access, listName, 1, folder);
    access.reset();
    if (RunLogActive) LogProgramFolderLeftovers(folder, PointToName(programPath));
    if (outcome.renameFailed) ShowRestartNotice();
    HandOverResult handOver = HandOverToScript(programPath, exactPath);
    if (RunLogActive) SetUninstallOutcome(entries, outcome, handOver);
    return handOver == HandOverResult::Started ? UninstallOutcome::Done : UninstallOutcome::Failed;
}
