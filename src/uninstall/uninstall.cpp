#include "uninstall/uninstall.h"

#include <windows.h>

#include <cstring>
#include <iterator>
#include <string>

#include "entry/app_state.h"
#include "entry/startup.h"
#include "integration/program_registration.h"
#include "integration/shell_new.h"
#include "localization/language_library.h"
#include "localization/messages.h"
#include "platform/file.h"
#include "platform/path_text.h"
#include "platform/program_path.h"
#include "resources/resource_ids.h"
#include "uninstall/link_guard.h"
#include "uninstall/list_passes.h"
#include "uninstall/program_folder.h"
#include "uninstall/removal_list.h"
#include "uninstall/script_start.h"

namespace {

// Index files that the help viewer writes beside the help file; the list
// cannot name them, since the installer never made them.
const char* const kHelpIndexFiles[] = {"kelvon.gid", "kelvon.fts"};
// Nor the New-menu templates that setup wrote beside the program; left
// behind, they would keep the program folder from going.
const char* const kSetupFiles[] = {kZipTemplateName, kNativeTemplateName};
constexpr unsigned kListReadSize = 65536;

bool ConfirmUninstall() {
    return MessageBoxA(nullptr, GetMsg(IDS_CONFIRM_UNINSTALL), GetMsg(IDS_UNINSTALL_CAPTION),
                       MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND) == IDYES;
}

void ShowCannotOpenList() {
    char text[kMessageSize];
    // A long translation is cut at the buffer's end, at a character boundary.
    FormatInto(text, sizeof(text), GetFormatMsg(IDS_CANNOT_OPEN_LIST), kListName);
    DropCutLeadByte(text);
    MessageBoxA(nullptr, text, GetMsg(IDS_UNINSTALL_CAPTION), MB_SETFOREGROUND | MB_ICONERROR);
}

void ShowRestartNotice() {
    MessageBoxA(nullptr, GetMsg(IDS_RESTART_NEEDED), GetMsg(IDS_UNINSTALL_CAPTION),
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

// Files beside the program, in the current directory; a link planted under
// one of their names stays, and so does what it leads to.
void DeleteFiles(const char* const* names, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (IsReparsePoint(GetFileAttributesA(names[i]))) continue;
        SetFileAttributesA(names[i], 0);
        DeleteFileA(names[i]);
    }
}

}  // namespace

void Uninstall() {
    char programPath[kPathSize];
    char folder[kPathSize];
    if (!GetProgramPath(programPath, sizeof(programPath)) ||
        !ProgramFolderOf(programPath, folder, sizeof(folder))) {
        return;
    }
    // The list, the help index files and the script's folder are all taken
    // from the current directory: without it, nothing is done at all.
    if (!SetCurrentDirectoryA(folder) || !AddEndSlash(folder, sizeof(folder))) return;
    if (!AppState.Silent && !ConfirmUninstall()) return;

    File list;
    std::string listText;
    if (!ReadList(list, listText)) {
        ShowCannotOpenList();
        return;
    }
    RemoveIntegration();
    LanguageLibrary::Unload();
    DeleteFiles(kHelpIndexFiles, std::size(kHelpIndexFiles));
    DeleteFiles(kSetupFiles, std::size(kSetupFiles));
    RemovalList entries = ReadRemovalList(listText, folder);
    PassOutcome outcome = RemoveListedEntries(entries.paths, std::strlen(folder), PointToName(programPath));
    list.Close();
    DeleteFileA(kListName);
    if (outcome.renameFailed) ShowRestartNotice();
    // Without the script the program and its folder stay: the user is told
    // to delete them, as the script would have.
    if (!StartRemovalScript(programPath)) ShowDeleteManuallyNotice();
}
