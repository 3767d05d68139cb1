#include "uninstall/uninstall.h"

#include <windows.h>

#include <cstring>
#include <iterator>
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
#include "uninstall/leftovers.h"
#include "uninstall/link_guard.h"
#include "uninstall/list_passes.h"
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

// Files beside the program, in the current directory `folder`; a link
// planted under one of their names stays, and so does what it leads to.
void DeleteFiles(const char* const* names, std::size_t count, const char* folder) {
    for (std::size_t i = 0; i < count; ++i) {
        if (IsReparsePoint(GetFileAttributesA(names[i]))) continue;
        SetFileAttributesA(names[i], 0);
        DWORD result = DeleteFileA(names[i]) ? ERROR_SUCCESS : GetLastError();
        if (RunLogActive && result != ERROR_FILE_NOT_FOUND) {
            LogAction(static_cast<long>(result), "file: deleted %s%s", folder, names[i]);
        }
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
void DeleteEarlierProgramNames(const char* programName, const char* folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("*", &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!IsUniqueProgramName(programName, found.cFileName) || IsReparsePoint(found.dwFileAttributes)) continue;
        DWORD result = DeleteFileA(found.cFileName) ? ERROR_SUCCESS : GetLastError();
        if (RunLogActive) LogAction(static_cast<long>(result), "file: deleted %s%s", folder, found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// The last step of every uninstallation. Without the script the program and
// its folder stay: the user is told to delete them, as the script would have.
HandOverResult HandOverToScript(const char* programPath) {
    HandOverResult handOver = StartRemovalScript(programPath);
    if (handOver != HandOverResult::Started) ShowDeleteManuallyNotice();
    return handOver;
}

void LogRefusedEntries(const std::vector<RefusedEntry>& refused) {
    for (const RefusedEntry& entry : refused) {
        LogLine("list: %s: refused: %s", entry.entry.c_str(),
                entry.check == EntryCheck::Outside ? "outside the program folder" : "too long for a path");
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
    AddCount(summary, static_cast<std::size_t>(outcome.foldersLeft), "folder not empty, left",
             "folders not empty, left");
    if (const char* failure = HandOverFailure(handOver)) summary += std::string("; ") + failure;
    SetRunOutcome("%s", summary.c_str());
}

}  // namespace

UninstallOutcome Uninstall() {
    char programPath[kPathSize];
    char folder[kPathSize];
    // The list, the help index files and the script's folder are all taken
    // from the current directory: without it, nothing is done at all.
    SetRunOutcome("uninstall stopped: the program's folder cannot be used");
    if (!GetProgramPath(programPath, sizeof(programPath)) ||
        !ProgramFolderOf(programPath, folder, sizeof(folder)) || !SetCurrentDirectoryA(folder) ||
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
            DeleteEarlierProgramNames(PointToName(programPath), folder);
            const char* failure = HandOverFailure(HandOverToScript(programPath));
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
    DeleteFiles(kHelpIndexFiles, std::size(kHelpIndexFiles), folder);
    DeleteFiles(kSetupFiles, std::size(kSetupFiles), folder);
    RemovalList entries = ReadRemovalList(listText, folder);
    if (RunLogActive) LogRefusedEntries(entries.refused);
    PassOutcome outcome = RemoveListedEntries(entries.paths, std::strlen(folder), PointToName(programPath));
    list.Close();
    DWORD listResult = DeleteFileA(kListName) ? ERROR_SUCCESS : GetLastError();
    if (RunLogActive) LogAction(static_cast<long>(listResult), "file: deleted %s%s", folder, kListName);
    if (RunLogActive) LogProgramFolderLeftovers(folder, PointToName(programPath));
    if (outcome.renameFailed) ShowRestartNotice();
    HandOverResult handOver = HandOverToScript(programPath);
    if (RunLogActive) SetUninstallOutcome(entries, outcome, handOver);
    return handOver == HandOverResult::Started ? UninstallOutcome::Done : UninstallOutcome::Failed;
}
