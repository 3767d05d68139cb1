#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct PassOutcome {
    int passes = 0;             // passes over the list, the last of which deleted nothing
    bool renameFailed = false;  // a file in use was scheduled under its own name
    int throughLinks = 0;       // entries left alone: reparse points, or in a folder that is one
    int scheduled = 0;          // files in use, to be deleted at the next restart
    int foldersLeft = 0;        // folders that were still not empty after the last pass
};

// Deletes the files and removes the folders named by `paths` (full paths) in
// passes until a pass deletes nothing; a folder goes once it is empty. A file
// in use is renamed to a free temporary name and scheduled for deletion at
// the next restart, or scheduled under its own name when the rename fails.
// Files named `programName` or like the list are left in place: the removal
// script and the driver delete them. The first `folderLength` bytes of each
// path are the program folder; nothing is touched through a link below it.
PassOutcome RemoveListedEntries(const std::vector<std::string>& paths, std::size_t folderLength,
                                const char* programName);
