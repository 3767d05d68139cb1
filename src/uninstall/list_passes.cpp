#include "uninstall/list_passes.h"

#include "platform/path_text.h"
#include "platform/run_log.h"
#include "platform/system.h"
#include "uninstall/removal_list.h"

namespace {

// An entry found gone, deleted or dealt with is never examined again, and a
// folder found not empty only gets another removal attempt: each pass costs
// the calls of what is still there and no more.
enum class EntryState : unsigned char { Unexamined, WaitingFolder, Finished };

void LogScheduling(Scheduling scheduling, const char* path, const char* renamed) {
    if (!RunLogActive) return;
    const char* how = renamed ? "renamed to " : "not renamed";
    if (!renamed) renamed = "";
    if (scheduling == Scheduling::Unsafe) {
        LogLine("list: %s: in use, %s%s, left: other users may change a folder on its path", path, how, renamed);
    } else {
        LogAction(scheduling == Scheduling::Scheduled ? 0 : kLogFailed,
                  "list: %s: in use, %s%s, scheduled for deletion at the next restart", path, how, renamed);
    }
}

// A file that exists and cannot be deleted.
void DealWithFileInUse(EntryAccess& access, const ListedEntry& entry, const char* programName, PassOutcome& outcome) {
    const char* name = PointToName(entry.path);
    if (CompareNoCase(name, programName) == 0 || CompareNoCase(name, kListName) == 0) {
        LogFate(entry.path, "in use, left to be deleted last");
        return;
    }
    char renamed[kPathSize];
    ListedEntry scheduled = entry;
    bool wasRenamed = access.RenameAside(entry, renamed, sizeof(renamed));
    if (wasRenamed) scheduled = {renamed, renamed + (entry.entry - entry.path)};
    Scheduling scheduling = access.ScheduleAtRestart(scheduled);
    LogScheduling(scheduling, entry.path, wasRenamed ? renamed : nullptr);
    // Only a restart that deletes something is worth the notice.
    if (scheduling == Scheduling::Unsafe) {
        ++outcome.leftInUse;
        return;
    }
    ++outcome.scheduled;
    if (!wasRenamed) outcome.renameFailed = true;
}

EntryState Examine(EntryAccess& access, const ListedEntry& entry, const char* programName, int& deleted,
                   PassOutcome& outcome, bool retry) {
    switch (access.Remove(entry)) {
        case Fate::NotFound: LogFate(entry.path, retry ? "gone" : "not found"); return EntryState::Finished;
        case Fate::ThroughLink:
            if (!retry) ++outcome.throughLinks;
            LogFate(entry.path, "refused: through a link");
            return EntryState::Finished;
        case Fate::NotText:
            ++outcome.throughLinks;
            LogFate(entry.path, "refused: not text of the code page");
            return EntryState::Finished;
        case Fate::Deleted: ++deleted; LogFate(entry.path, "deleted"); return EntryState::Finished;
        case Fate::Removed: ++deleted; LogFate(entry.path, "removed"); return EntryState::Finished;
        case Fate::FolderWaiting: return EntryState::WaitingFolder;
        case Fate::InUse: break;
    }
    DealWithFileInUse(access, entry, programName, outcome);
    return EntryState::Finished;
}

}  // namespace

void LogFate(const char* path, const char* fate) {
    if (RunLogActive) LogLine("list: %s: %s", path, fate);
}

PassOutcome RemoveListedEntries(EntryAccess& access, const std::vector<std::string>& paths, std::size_t folderLength,
                                const char* programName) {
    PassOutcome outcome;
    std::vector<EntryState> states(paths.size(), EntryState::Unexamined);
    int deleted;
    do {
        deleted = 0;
        ++outcome.passes;
        // After the first pass only folders wait, and they are taken from the
        // end of the list: lists name folders either deepest first or
        // shallowest first, and the latter then empty in one pass instead of
        // one pass per level.
        const bool backwards = outcome.passes > 1;
        for (std::size_t n = 0; n < paths.size(); ++n) {
            const std::size_t i = backwards ? paths.size() - 1 - n : n;
            if (states[i] == EntryState::Finished) continue;
            const ListedEntry entry = {paths[i].c_str(), paths[i].c_str() + folderLength};
            states[i] = Examine(access, entry, programName, deleted, outcome, states[i] == EntryState::WaitingFolder);
        }
    } while (deleted != 0);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (states[i] != EntryState::WaitingFolder) continue;
        ++outcome.foldersLeft;
        LogFate(paths[i].c_str(), "folder not empty, left");
    }
    return outcome;
}
