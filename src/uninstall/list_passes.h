#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/handle_walk.h"
#include "uninstall/restart_schedule.h"

struct PassOutcome {
    int passes = 0;             // passes over the list, the last of which deleted nothing
    bool renameFailed = false;  // a file in use was scheduled under its own name
    int throughLinks = 0;       // entries left alone: links, in a folder that is one, or not text of the code page
    int scheduled = 0;          // files in use, to be deleted at the next restart
    int leftInUse = 0;          // files in use in a folder that other users may change: not scheduled
    int foldersLeft = 0;        // folders that were still not empty after the last pass
};

// An entry of the list: its full path and, at its end, the part below the
// program folder.
struct ListedEntry {
    const char* path;
    const char* entry;
};

// How the entries are reached: through held handles on the NT family, by path
// on Windows 95, 98 and Me.
class EntryAccess {
public:
    virtual ~EntryAccess() = default;
    // Deletes the file, or removes the folder when it is empty.
    virtual Fate Remove(const ListedEntry& entry) = 0;
    // Renames a file in use to its first free temporary name ("name.N.tmp"),
    // which `renamed` receives as the entry's full path. False when it could
    // not be renamed.
    virtual bool RenameAside(const ListedEntry& entry, char* renamed, std::size_t capacity) = 0;
    // Has the file deleted at the next restart.
    virtual Scheduling ScheduleAtRestart(const ListedEntry& entry) = 0;
};

// Deletes the files and removes the folders named by `paths` (full paths
// whose first `folderLength` bytes are the program folder) in passes until a
// pass deletes nothing; a folder goes once it is empty. A file in use is
// renamed to a free temporary name and scheduled for deletion at the next
// restart, or scheduled under its own name when the rename fails. Files named
// `programName` or like the list are left in place: the removal script and
// the driver delete them.
PassOutcome RemoveListedEntries(EntryAccess& access, const std::vector<std::string>& paths, std::size_t folderLength,
                                const char* programName);

// The log's words for what became of an entry.
void LogFate(const char* path, const char* fate);
