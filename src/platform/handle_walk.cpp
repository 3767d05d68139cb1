#include "platform/handle_walk.h"

#include <winternl.h>

#include <cstring>
#include <cwchar>
#include <utility>
#include <vector>

namespace {

constexpr NTSTATUS kStatusInvalidInfoClass = static_cast<NTSTATUS>(0xC0000003);
constexpr NTSTATUS kStatusInvalidParameter = static_cast<NTSTATUS>(0xC000000D);
constexpr NTSTATUS kStatusAccessDenied = static_cast<NTSTATUS>(0xC0000022);
constexpr NTSTATUS kStatusNameNotFound = static_cast<NTSTATUS>(0xC0000034);
constexpr NTSTATUS kStatusNameCollision = static_cast<NTSTATUS>(0xC0000035);
constexpr NTSTATUS kStatusPathNotFound = static_cast<NTSTATUS>(0xC000003A);
constexpr NTSTATUS kStatusSharingViolation = static_cast<NTSTATUS>(0xC0000043);
constexpr NTSTATUS kStatusDeletePending = static_cast<NTSTATUS>(0xC0000056);
constexpr NTSTATUS kStatusDirectoryNotEmpty = static_cast<NTSTATUS>(0xC0000101);
constexpr NTSTATUS kStatusNotADirectory = static_cast<NTSTATUS>(0xC0000103);

constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr ACCESS_MASK kFolderAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
constexpr ACCESS_MASK kDeletionAccess = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;
constexpr ACCESS_MASK kLookAccess = FILE_READ_ATTRIBUTES | SYNCHRONIZE;
constexpr ACCESS_MASK kListingAccess = FILE_LIST_DIRECTORY | SYNCHRONIZE;

enum class OpenResult { Opened, NotFound, InUse, Failed };
// A folder held to open what lies in it; an entry to delete or rename; an
// entry only looked at, which even one held without sharing allows.
enum class Purpose { Hold, Delete, Look };
enum class DeleteResult { Deleted, NotEmpty, Refused };

using NtCreateFileCall = decltype(&NtCreateFile);
using NtQueryInformationFileCall = decltype(&NtQueryInformationFile);
using NtSetInformationFileCall = decltype(&NtSetInformationFile);
using NtQueryDirectoryFileCall = NTSTATUS(NTAPI*)(HANDLE, HANDLE, PIO_APC_ROUTINE, PVOID, PIO_STATUS_BLOCK, PVOID,
                                                  ULONG, FILE_INFORMATION_CLASS, BOOLEAN, PUNICODE_STRING, BOOLEAN);

struct NativeCalls {
    NtCreateFileCall create = nullptr;
    NtQueryInformationFileCall query = nullptr;
    NtSetInformationFileCall set = nullptr;
    NtQueryDirectoryFileCall list = nullptr;
};

template <typename Call>
void Find(HMODULE ntdll, const char* name, Call& call) {
    call = reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(ntdll, name)));
}

const NativeCalls& Native() {
    static const NativeCalls calls = [] {
        NativeCalls found;
        if (HMODULE ntdll = GetModuleHandleA("ntdll.dll")) {
            Find(ntdll, "NtCreateFile", found.create);
            Find(ntdll, "NtQueryInformationFile", found.query);
            Find(ntdll, "NtSetInformationFile", found.set);
            Find(ntdll, "NtQueryDirectoryFile", found.list);
        }
        return found;
    }();
    return calls;
}

UNICODE_STRING Counted(PartName name) {
    UNICODE_STRING text;
    text.Length = text.MaximumLength = static_cast<USHORT>(name.length * sizeof(wchar_t));
    text.Buffer = const_cast<wchar_t*>(name.text);
    return text;
}

NTSTATUS Open(HANDLE folder, PartName name, ACCESS_MASK access, ULONG options, HeldHandle& opened) {
    UNICODE_STRING text = Counted(name);
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, folder, nullptr);
    IO_STATUS_BLOCK status;
    options |= FILE_SYNCHRONOUS_IO_NONALERT;
    HANDLE handle = nullptr;
    NTSTATUS result = Native().create(&handle, access, &attributes, &status, nullptr, 0, kShareAll, FILE_OPEN,
                                      options | FILE_OPEN_REPARSE_POINT, nullptr, 0);
    // NT 4 has no reparse points, and no option for them either.
    if (result == kStatusInvalidParameter) {
        result = Native().create(&handle, access, &attributes, &status, nullptr, 0, kShareAll, FILE_OPEN, options,
                                 nullptr, 0);
    }
    opened.Close();
    if (NT_SUCCESS(result)) *opened.Receive() = handle;
    return result;
}

bool ReadBasic(HANDLE handle, FILE_BASIC_INFORMATION& basic) {
    IO_STATUS_BLOCK status;
    return NT_SUCCESS(Native().query(handle, &status, &basic, sizeof(basic), FileBasicInformation));
}

// Room for many entries per call; one entry with the longest name a part can
// have fits many times over.
constexpr ULONG kListingBufferSize = 64 * 1024;

// The listing of `folder`, opened under the empty name relative to it, which
// is the folder: a listing keeps the first name it was asked for as long as
// its handle lives.
bool OpenListing(HANDLE folder, HeldHandle& listing) {
    return NT_SUCCESS(Open(folder, {L"", 0}, kListingAccess, FILE_DIRECTORY_FILE, listing));
}

// One call for the entries matching `mask` (all when null), with file ids
// where the system lists them (not NT 4 and 2000; `withIds` says which).
NTSTATUS QueryListing(HANDLE listing, PUNICODE_STRING mask, bool single, bool first, bool& withIds, void* buffer,
                      ULONG size) {
    IO_STATUS_BLOCK status;
    if (withIds) {
        NTSTATUS result = Native().list(listing, nullptr, nullptr, nullptr, &status, buffer, size,
                               FileIdBothDirectoryInformation, single, mask, first);
        if (result != kStatusInvalidInfoClass && result != kStatusInvalidParameter) return result;
        withIds = false;
    }
    return Native().list(listing, nullptr, nullptr, nullptr, &status, buffer, size, FileBothDirectoryInformation,
                         single, mask, first);
}

// The name, attributes and id of one entry of a listing that QueryListing
// filled; the next one follows after `next` bytes, none when 0.
struct ListingRecord {
    PartName name;
    DWORD attributes;
    LONGLONG id;
    ULONG next;
};

ListingRecord ReadRecord(const unsigned char* at, bool withIds) {
    if (withIds) {
        const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFORMATION*>(at);
        return {{entry->FileName, entry->FileNameLength / sizeof(wchar_t)},
                entry->FileAttributes,
                entry->FileId.QuadPart,
                entry->NextEntryOffset};
    }
    const auto* entry = reinterpret_cast<const FILE_BOTH_DIR_INFORMATION*>(at);
    return {{entry->FileName, entry->FileNameLength / sizeof(wchar_t)}, entry->FileAttributes, 0,
            entry->NextEntryOffset};
}

// The entry that the listing of `folder` shows under `name`, looked up by the
// file system's own rules: any case, or the short name.
bool ReadListedName(HANDLE folder, PartName name, DWORD& attributes, LONGLONG& id) {
    HeldHandle listing;
    if (!OpenListing(folder, listing)) return false;
    LONGLONG buffer[(sizeof(FILE_ID_BOTH_DIR_INFORMATION) + MAX_PATH * sizeof(wchar_t)) / sizeof(LONGLONG) + 1];
    UNICODE_STRING mask = Counted(name);
    bool withIds = true;
    if (!NT_SUCCESS(QueryListing(listing.Get(), &mask, true, true, withIds, buffer, sizeof(buffer)))) return false;
    ListingRecord record = ReadRecord(reinterpret_cast<const unsigned char*>(buffer), withIds);
    attributes = record.attributes;
    id = record.id;
    return true;
}

// The folder at `path`, followed if it is a link.
HeldHandle OpenFolderByPath(const wchar_t* path) {
    HeldHandle folder;
    HANDLE handle = CreateFileW(path, kFolderAccess, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                nullptr);
    if (handle != INVALID_HANDLE_VALUE) *folder.Receive() = handle;
    return folder;
}

// Opens `name` in `folder` as itself: a link is opened, never followed.
OpenResult OpenInFolder(HANDLE folder, PartName name, Purpose purpose, HeldHandle& opened) {
    NTSTATUS result = purpose == Purpose::Hold     ? Open(folder, name, kFolderAccess, FILE_DIRECTORY_FILE, opened)
                      : purpose == Purpose::Delete ? Open(folder, name, kDeletionAccess, 0, opened)
                                                   : Open(folder, name, kLookAccess, 0, opened);
    if (NT_SUCCESS(result)) return OpenResult::Opened;
    switch (result) {
        case kStatusNameNotFound:
        case kStatusPathNotFound:
        case kStatusNotADirectory:
        case kStatusDeletePending: return OpenResult::NotFound;
        case kStatusSharingViolation:
        case kStatusAccessDenied: return OpenResult::InUse;
        default: return OpenResult::Failed;
    }
}

// Reads the whole listing of `folder`. What cannot be read is looked up name
// by name later.
void ReadWholeListing(HANDLE folder, FolderListing& listing) {
    listing.read = true;
    HeldHandle handle;
    if (!OpenListing(folder, handle)) return;
    std::vector<LONGLONG> buffer(kListingBufferSize / sizeof(LONGLONG));
    bool withIds = true;
    for (bool first = true;; first = false) {
        if (!NT_SUCCESS(QueryListing(handle.Get(), nullptr, false, first, withIds, buffer.data(), kListingBufferSize))) {
            return;
        }
        for (const auto* at = reinterpret_cast<const unsigned char*>(buffer.data());;) {
            ListingRecord record = ReadRecord(at, withIds);
            listing.names[std::wstring(record.name.text, record.name.length)] = {record.attributes, record.id};
            if (record.next == 0) break;
            at += record.next;
        }
    }
}

// What the listing of `folder` shows under `name`: from the listing read
// whole, else (a name in another case, a short name, a name that came later)
// looked up on its own.
bool FindListed(HANDLE folder, FolderListing& listing, PartName name, FolderListing::Name& listed) {
    if (!listing.read) ReadWholeListing(folder, listing);
    auto found = listing.names.find(std::wstring(name.text, name.length));
    if (found != listing.names.end()) {
        listed = found->second;
        return true;
    }
    return ReadListedName(folder, name, listed.attributes, listed.id);
}

// Whether `opened`, reached as `name` in `folder`, is a plain file or folder,
// with its attributes in `attributes`. Attributes that cannot be read count as
// a link. Windows shows a link on the handle itself; Wine follows every link
// and shows it only in the listing, where the entry must also carry the file
// id of the handle. The listing may have been read before the open or after
// it: a name listed as a link is refused, and an open that went through a
// link swapped in or out in between holds another file than the one listed.
bool IsPlain(HANDLE folder, FolderListing& listing, PartName name, HANDLE opened, DWORD& attributes) {
    FILE_BASIC_INFORMATION basic;
    if (!ReadBasic(opened, basic) || (basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    attributes = basic.FileAttributes;
    FolderListing::Name listed;
    if (!FindListed(folder, listing, name, listed) || (listed.attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return false;
    }
    if (listed.id == 0) return true;
    FILE_INTERNAL_INFORMATION internal;
    IO_STATUS_BLOCK status;
    if (!NT_SUCCESS(Native().query(opened, &status, &internal, sizeof(internal), FileInternalInformation))) {
        return false;
    }
    return internal.IndexNumber.QuadPart == listed.id;
}

// Deletes the file or empty folder `opened` (attributes as IsPlain read
// them); it goes when the handle closes, which a deletion does at once.
DeleteResult DeleteThroughHandle(HeldHandle& opened, DWORD attributes) {
    IO_STATUS_BLOCK status;
    // A read-only file or folder cannot be deleted. Times of 0 stay as they are.
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        FILE_BASIC_INFORMATION basic = {};
        basic.FileAttributes = attributes & ~FILE_ATTRIBUTE_READONLY;
        if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        Native().set(opened.Get(), &status, &basic, sizeof(basic), FileBasicInformation);
    }
    FILE_DISPOSITION_INFORMATION disposition = {TRUE};
    NTSTATUS result =
        Native().set(opened.Get(), &status, &disposition, sizeof(disposition), FileDispositionInformation);
    if (NT_SUCCESS(result)) {
        opened.Close();
        return DeleteResult::Deleted;
    }
    return result == kStatusDirectoryNotEmpty ? DeleteResult::NotEmpty : DeleteResult::Refused;
}

// Renames `opened` to `name` in `folder`, the folder it lies in.
RenameResult RenameInFolder(HANDLE opened, HANDLE folder, PartName name) {
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFORMATION) + name.length * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFORMATION*>(buffer.data());
    rename->ReplaceIfExists = FALSE;
    rename->RootDirectory = folder;
    rename->FileNameLength = static_cast<ULONG>(name.length * sizeof(wchar_t));
    std::memcpy(rename->FileName, name.text, name.length * sizeof(wchar_t));
    IO_STATUS_BLOCK status;
    NTSTATUS result = Native().set(opened, &status, rename, static_cast<ULONG>(buffer.size()), FileRenameInformation);
    if (NT_SUCCESS(result)) return RenameResult::Renamed;
    return result == kStatusNameCollision ? RenameResult::NameTaken : RenameResult::Failed;
}

// Wine reports a folder deleted that was not empty and stays.
bool FolderHoldsName(HANDLE folder, PartName name) {
    HeldHandle look;
    return OpenInFolder(folder, name, Purpose::Look, look) == OpenResult::Opened;
}

// The parts between separators; empty ones name nothing of their own.
std::vector<PartName> SplitParts(const std::wstring& text) {
    std::vector<PartName> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != L'\\' && text[i] != L'/') continue;
        if (i > start) parts.push_back({text.data() + start, i - start});
        start = i + 1;
    }
    return parts;
}

}  // namespace

HeldHandle& HeldHandle::operator=(HeldHandle&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        other.handle_ = nullptr;
    }
    return *this;
}

HANDLE* HeldHandle::Receive() {
    Close();
    return &handle_;
}

void HeldHandle::Close() {
    if (handle_) CloseHandle(handle_);
    handle_ = nullptr;
}

bool HandleWalkAvailable() {
    const NativeCalls& calls = Native();
    return calls.create && calls.query && calls.set && calls.list;
}

Fate RemoveByPath(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return Fate::NotFound;
    // Clearing attributes costs a call as dear as a delete, so it is made
    // only when read-only, hidden or system is set.
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
        SetFileAttributesA(path, 0);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return RemoveDirectoryA(path) ? Fate::Removed : Fate::FolderWaiting;
    return DeleteFileA(path) ? Fate::Deleted : Fate::InUse;
}

FolderWalk::FolderWalk(const wchar_t* folder) {
    if (HandleWalkAvailable()) root_.handle = OpenFolderByPath(folder);
}

bool FolderWalk::Reach(Opened& opened, Fate& fate) {
    opened.folder = &root_;
    std::wstring& key = opened.key;
    const std::vector<PartName>& parts = opened.parts;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        if (i) key += L'\\';
        key.append(parts[i].text, parts[i].length);
        auto found = folders_.find(key);
        if (found == folders_.end()) {
            HeldFolder held = {HeldHandle(), Fate::NotFound, {}};
            HeldFolder& above = *opened.folder;
            if (OpenInFolder(above.handle.Get(), parts[i], Purpose::Hold, held.handle) == OpenResult::Opened) {
                DWORD attributes = 0;
                if (!IsPlain(above.handle.Get(), above.listing, parts[i], held.handle.Get(), attributes)) {
                    held.handle.Close();
                    held.fate = Fate::ThroughLink;
                }
            }
            found = folders_.emplace(key, std::move(held)).first;
        }
        if (!found->second.handle.IsOpen()) {
            fate = found->second.fate;
            return false;
        }
        opened.folder = &found->second;
    }
    if (!key.empty()) key += L'\\';
    key.append(parts.back().text, parts.back().length);
    return true;
}

bool FolderWalk::OpenLast(const wchar_t* entry, Opened& opened, Fate& fate) {
    opened.text = entry;
    opened.parts = SplitParts(opened.text);
    fate = Fate::NotFound;
    if (opened.parts.empty() || !root_.handle.IsOpen()) return false;
    if (!Reach(opened, fate)) return false;
    const HANDLE folder = opened.folder->handle.Get();
    FolderListing& listing = opened.folder->listing;
    const PartName last = opened.parts.back();
    fate = Fate::NotFound;
    switch (OpenInFolder(folder, last, Purpose::Delete, opened.handle)) {
        case OpenResult::Opened:
            if (IsPlain(folder, listing, last, opened.handle.Get(), opened.attributes)) return true;
            fate = Fate::ThroughLink;
            return false;
        case OpenResult::NotFound: return false;
        case OpenResult::InUse:
        case OpenResult::Failed: break;
    }
    // Held by another process, or changing: only what a look confirms to be a
    // plain file counts as one in use; a folder that is someone's current
    // directory waits like one that is not empty.
    HeldHandle look;
    switch (OpenInFolder(folder, last, Purpose::Look, look)) {
        case OpenResult::Opened: break;
        case OpenResult::NotFound: return false;
        case OpenResult::InUse:
        case OpenResult::Failed: fate = Fate::ThroughLink; return false;
    }
    if (!IsPlain(folder, listing, last, look.Get(), opened.attributes)) {
        fate = Fate::ThroughLink;
    } else {
        fate = (opened.attributes & FILE_ATTRIBUTE_DIRECTORY) ? Fate::FolderWaiting : Fate::InUse;
    }
    return false;
}

void FolderWalk::Forget(const Opened& opened) {
    const PartName last = opened.parts.back();
    opened.folder->listing.names.erase(std::wstring(last.text, last.length));
    if (!(opened.attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    folders_.erase(opened.key);
    const std::wstring below = opened.key + L'\\';
    for (auto it = folders_.lower_bound(below);
         it != folders_.end() && it->first.compare(0, below.size(), below) == 0;) {
        it = folders_.erase(it);
    }
}

Fate FolderWalk::Remove(const wchar_t* entry) {
    Opened opened;
    Fate fate = Fate::NotFound;
    if (!OpenLast(entry, opened, fate)) return fate;
    DeleteResult result = DeleteThroughHandle(opened.handle, opened.attributes);
    if (result == DeleteResult::Deleted) Forget(opened);
    if (!(opened.attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return result == DeleteResult::Deleted ? Fate::Deleted : Fate::InUse;
    }
    if (result != DeleteResult::Deleted) return Fate::FolderWaiting;
    // The folder goes when the last handle to it closes, ours among them.
    return FolderHoldsName(opened.folder->handle.Get(), opened.parts.back()) ? Fate::FolderWaiting : Fate::Removed;
}

RenameResult FolderWalk::Rename(const wchar_t* entry, const wchar_t* name) {
    Opened opened;
    Fate fate = Fate::NotFound;
    if (!OpenLast(entry, opened, fate) || (opened.attributes & FILE_ATTRIBUTE_DIRECTORY)) return RenameResult::Failed;
    RenameResult result = RenameInFolder(opened.handle.Get(), opened.folder->handle.Get(), {name, std::wcslen(name)});
    if (result == RenameResult::Renamed) Forget(opened);
    return result;
}
