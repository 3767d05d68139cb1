#include "uninstall/list_passes.h"

#include <windows.h>

#include "platform/path_text.h"
#include "platform/run_log.h"
#include "platform/system.h"
#include "uninstall/link_guard.h"
#include "uninstall/removal_list.h"
#include "uninstall/restart_schedule.h"
#include "uninstall/temporary_name.h"

namespace {

// An entry found gone, deleted or dealt with is never examined again, and a
// folder found not empty only gets another removal attempt: each pass costs
// the calls of what is still there and no more.
enum class EntryState : unsigned char { Unexamined, WaitingFolder, Finished };

constexpr DWORD kProtectiveAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// The first name "path.N.tmp" that names nothing; the last one tried when
// all are taken (the rename then fails). False when the names do not fit.
bool ChooseTemporaryName(const char* path, char* name, std::size_t capacity) {
    for (int number = 0; number < kTemporaryNameCount; ++number) {
        if (!FormTemporaryName(path, number, name, capacity)) return false;
        if (GetFileAttributesA(name) == INVALID_FILE_ATTRIBUTES) break;
    }
    return true;
}

// What became of an entry, for the log.
void LogFate(const char* path, const char* fate) {
    if (RunLogActive) LogLine("list: %s: %s", path, fate);
}

// A file that exists and cannot be deleted.
void DealWithFileInUse(const char* path, const char* programName, PassOutcome& outcome) {
    const char* name = PointToName(path);
    if (CompareNoCase(name, programName) == 0 || CompareNoCase(name, kListName) == 0) {
        LogFate(path, "in use, left to be deleted last");
        return;
    }
    char temporary[kPathSize];
    const char* scheduled = temporary;
    if (!ChooseTemporaryName(path, temporary, sizeof(temporary)) || !MoveFileA(path, temporary)) {
        scheduled = path;
        outcome.renameFailed = true;
    }
    bool done = ScheduleDeletionAtRestart(scheduled);
    ++outcome.scheduled;
    if (!RunLogActive) return;
    if (scheduled == path) {
        LogAction(done ? 0 : kLogFailed, "list: %s: in use, not renamed, scheduled for deletion at the next restart",
                  path);
    } else {
        LogAction(done ? 0 : kLogFailed, "list: %s: in use, renamed to %s, scheduled for deletion at the next restart",
                  path, temporary);
    }
}

// The first look at an entry, which may not lead through a link. A folder
// that still holds files waits for a later pass.
EntryState Examine(const char* path, LinkGuard& guard, const char* programName, int& deleted,
                   PassOutcome& outcome) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        LogFate(path, "not found");
        return EntryState::Finished;
    }
    if (!guard.Permits(path, attributes)) {
        ++outcome.throughLinks;
        LogFate(path, "refused: through a link");
        return EntryState::Finished;
    }
    // Clearing attributes costs a call as dear as a delete, so it is made
    // only when read-only, hidden or system is set.
    if (attributes & kProtectiveAttributes) SetFileAttributesA(path, 0);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (!RemoveDirectoryA(path)) return EntryState::WaitingFolder;
        ++deleted;
        LogFate(path, "removed");
        return EntryState::Finished;
    }
    if (DeleteFileA(path)) {
        ++deleted;
        LogFate(path, "deleted");
        return EntryState::Finished;
    }
    DealWithFileInUse(path, programName, outcome);
    return EntryState::Finished;
}

// A folder that was not empty at an earlier pass; it is looked at again, since
// a link may have taken its place since.
EntryState RetryFolder(const char* path, LinkGuard& guard, int& deleted) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        LogFate(path, "gone");
        return EntryState::Finished;
    }
    if (!guard.Permits(path, attributes)) {
        LogFate(path, "refused: through a link");
        return EntryState::Finished;
    }
    if (RemoveDirectoryA(path)) {
        ++deleted;
        LogFate(path, "removed");
        return EntryState::Finished;
    }
    return EntryState::WaitingFolder;
}

}  // namespace

PassOutcome RemoveListedEntries(const std::vector<std::string>& paths, std::size_t folderLength,
                                const char* programName) {
    PassOutcome outcome;
    LinkGuard guard(folderLength);
    std::vector<EntryState> states(paths.size(), EntryState::Unexamined);
    int deleted;
    do {
        deleted = 0;
        ++outcome.passes;
        for (std::size_t i = 0; i < paths.size(); ++i) {
            const char* path = paths[i].c_str();
            switch (states[i]) {
                case EntryState::Unexamined:
                    states[i] = Examine(path, guard, programName, deleted, outcome);
                    break;
                case EntryState::WaitingFolder: states[i] = RetryFolder(path, guard, deleted); break;
                case EntryState::Finished: break;
            }
        }
    } while (deleted != 0);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (states[i] != EntryState::WaitingFolder) continue;
        ++outcome.foldersLeft;
        LogFate(paths[i].c_str(), "folder not empty, left");
    }
    return outcome;
}
