#pragma once

// Deletes and renames relative to folder handles that the program holds,
// never by path. Between a check by path and an action by path an unelevated
// process can swap a folder on the way for a link (an opportunistic lock
// stops the elevated program at the right moment), and the action then lands
// wherever the link leads. A held handle keeps naming the folder that was
// checked, whatever happens to its name afterwards.
//
// On the NT family only, through the native calls: Windows 95, 98 and Me have
// no links to fear and no such calls.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

// What one look at an entry found, and did.
enum class Fate { NotFound, ThroughLink, NotText, Deleted, Removed, FolderWaiting, InUse };

enum class RenameResult { Renamed, NameTaken, Failed };

// Whether the native calls are there; false on Windows 95, 98 and Me.
bool HandleWalkAvailable();

// On Windows 95, 98 and Me, which have neither links nor handle calls: deletes
// the file at `path`, or removes the folder when it is empty, read-only,
// hidden and system cleared first.
Fate RemoveByPath(const char* path);

// A handle closed when the object goes.
class HeldHandle {
public:
    HeldHandle() = default;
    HeldHandle(const HeldHandle&) = delete;
    HeldHandle& operator=(const HeldHandle&) = delete;
    HeldHandle(HeldHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
    HeldHandle& operator=(HeldHandle&& other) noexcept;
    ~HeldHandle() { Close(); }

    HANDLE Get() const { return handle_; }
    HANDLE* Receive();
    bool IsOpen() const { return handle_ != nullptr; }
    void Close();

private:
    HANDLE handle_ = nullptr;
};

// One part of a path, not terminated.
struct PartName {
    const wchar_t* text;
    std::size_t length;
};

// What the listing of a held folder showed, read whole the first time a name
// in it is judged: one listing per folder instead of one per entry.
struct FolderListing {
    struct Name {
        DWORD attributes;
        LONGLONG id;  // 0 where the system lists no ids
    };
    bool read = false;
    std::map<std::wstring, Name> names;
};

// One folder held open, and below it every folder an entry lies in, each
// opened relative to the folder above it, confirmed to be no link, and held
// for all the entries in it. Entries are relative paths whose parts are
// separated by backslashes or slashes; empty parts name nothing.
class FolderWalk {
public:
    // The folder itself is followed if it is a link: the program folder may
    // be one (an installation moved to another drive). Entries are judged
    // from it down.
    explicit FolderWalk(const wchar_t* folder);

    bool IsOpen() const { return root_.handle.IsOpen(); }
    // Deletes the file, or removes the folder when it is empty. A link, and
    // anything reached through one, stays.
    Fate Remove(const wchar_t* entry);
    // Renames the file `entry` to `name` in the folder it lies in, never over
    // an existing file.
    RenameResult Rename(const wchar_t* entry, const wchar_t* name);

private:
    struct HeldFolder {
        HeldHandle handle;  // not open for a folder that is missing or a link
        Fate fate;          // why not: NotFound or ThroughLink
        FolderListing listing;
    };
    // An entry's last part, opened for deletion and confirmed plain.
    struct Opened {
        std::wstring text;
        std::vector<PartName> parts;   // into `text`
        HeldFolder* folder = nullptr;  // held: the one the last part lies in
        std::wstring key;              // the entry's own key among the held folders
        HeldHandle handle;
        DWORD attributes = 0;
    };

    // Holds the folders the parts before the last one lead to; false, with
    // why not in `fate`, when one is missing or a link.
    bool Reach(Opened& opened, Fate& fate);
    // False, with what became of the entry in `fate`, when it cannot be acted on.
    bool OpenLast(const wchar_t* entry, Opened& opened, Fate& fate);
    // Drops what was held or listed of the entry `opened`, gone now: a name
    // used again afterwards is judged afresh.
    void Forget(const Opened& opened);

    HeldFolder root_;
    std::map<std::wstring, HeldFolder> folders_;
};
