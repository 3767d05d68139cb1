#include "uninstall/deletion_walk.h"

#include <cstring>

#include "platform/ansi_path.h"
#include "platform/path_text.h"
#include "uninstall/temporary_name.h"

// An entry is taken as the file system names it; bytes that are no text of
// the code page name nothing for sure.
Fate DeletionWalk::Remove(const ListedEntry& entry) {
    std::wstring wide;
    return AnsiToWide(entry.entry, wide) ? walk_.Remove(wide.c_str()) : Fate::NotText;
}

bool DeletionWalk::RenameAside(const ListedEntry& entry, char* renamed, std::size_t capacity) {
    std::wstring wide;
    if (!AnsiToWide(entry.entry, wide)) return false;
    const std::size_t pathLength = std::strlen(entry.path);
    for (int number = 0; number < kTemporaryNameCount; ++number) {
        if (!FormTemporaryName(entry.path, number, renamed, capacity)) return false;
        // The file's own name and ".N.tmp", the same in every code page.
        std::wstring name;
        if (!AnsiToWide(PointToName(entry.path), name)) return false;
        for (const char* p = renamed + pathLength; *p; ++p) name += static_cast<wchar_t>(*p);
        switch (walk_.Rename(wide.c_str(), name.c_str())) {
            case RenameResult::Renamed: return true;
            case RenameResult::NameTaken: break;
            case RenameResult::Failed: return false;
        }
    }
    return false;
}

Scheduling DeletionWalk::ScheduleAtRestart(const ListedEntry& entry) {
    std::wstring wide;
    if (!AnsiToWide(entry.entry, wide)) return Scheduling::Failed;
    // By path, as the system will take it at the restart: one separator
    // between parts.
    std::wstring path = folder_;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        bool separator = wide[i] == L'\\' || wide[i] == L'/';
        if (separator && path.back() == L'\\') continue;
        path += separator ? L'\\' : wide[i];
    }
    return ScheduleDeletionAtRestart(path.c_str());
}
