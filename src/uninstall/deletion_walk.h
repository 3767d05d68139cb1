#pragma once

#include <string>

#include "platform/handle_walk.h"
#include "uninstall/list_passes.h"

// The entries of the list reached through held handles, on the NT family:
// deleted, and renamed when in use, through the walk from the program folder.
class DeletionWalk : public EntryAccess {
public:
    // `folder`: the program folder's full path, ending in a backslash.
    explicit DeletionWalk(const wchar_t* folder) : folder_(folder), walk_(folder) {}

    Fate Remove(const ListedEntry& entry) override;
    bool RenameAside(const ListedEntry& entry, char* renamed, std::size_t capacity) override;
    Scheduling ScheduleAtRestart(const ListedEntry& entry) override;

private:
    std::wstring folder_;
    FolderWalk walk_;
};
