#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <unordered_set>

// Whether the attributes are those of a reparse point: a symbolic link, a
// junction or a mount point, which leads somewhere else. Windows 95, 98 and
// Me have none.
bool IsReparsePoint(DWORD attributes);

// Keeps the uninstall inside the program folder: an entry that is a reparse
// point, or lies in a folder that is one, is not the program's to delete,
// whatever the link leads to. The program folder itself may be one (an
// installation moved to another drive through a junction): entries are
// judged from it down.
class LinkGuard {
public:
    // `folderLength` bytes of every path checked are the program folder.
    explicit LinkGuard(std::size_t folderLength) : folderLength_(folderLength) {}

    // `attributes` are the entry's own, valid ones.
    bool Permits(const char* path, DWORD attributes);

private:
    bool FolderIsPlain(const std::string& folder);

    std::size_t folderLength_;
    // Folders already found to be no link: most entries share them.
    std::unordered_set<std::string> plainFolders_;
};
