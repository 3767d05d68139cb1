#pragma once

#include "uninstall/list_passes.h"

// Entries reached by their paths, on Windows 95, 98 and Me: no links there,
// no handle calls either. The names were checked when the list was read.
class PathAccess : public EntryAccess {
public:
    Fate Remove(const ListedEntry& entry) override;
    bool RenameAside(const ListedEntry& entry, char* renamed, std::size_t capacity) override;
    Scheduling ScheduleAtRestart(const ListedEntry& entry) override;
};
