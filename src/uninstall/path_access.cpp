#include "uninstall/path_access.h"

#include <windows.h>

#include "uninstall/temporary_name.h"

Fate PathAccess::Remove(const ListedEntry& entry) {
    return RemoveByPath(entry.path);
}

// The first name "path.N.tmp" that names nothing; the last one tried when
// all are taken (the rename then fails).
bool PathAccess::RenameAside(const ListedEntry& entry, char* renamed, std::size_t capacity) {
    for (int number = 0; number < kTemporaryNameCount; ++number) {
        if (!FormTemporaryName(entry.path, number, renamed, capacity)) return false;
        if (GetFileAttributesA(renamed) == INVALID_FILE_ATTRIBUTES) break;
    }
    return MoveFileA(entry.path, renamed) != 0;
}

Scheduling PathAccess::ScheduleAtRestart(const ListedEntry& entry) {
    return ScheduleInWininit(entry.path);
}
