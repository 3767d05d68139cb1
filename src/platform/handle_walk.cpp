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

// The entry that the listing of `folder` shows under `name`: its attributes,
// and its file id where the system lists one (0 where not: NT 4 and 2000 have
// no listing with ids, FAT volumes give none).
bool ReadListing(HANDLE folder, PartName name, DWORD& attributes, LONGLONG& id) {
    // A listing keeps the first name it was asked for as long as its handle
    // lives: each name is looked up through a handle of its own, opened
    // relative to the held folder under the empty name, which is the folder.
    HeldHandle listing;
    if (!NT_SUCCESS(Open(folder, {L"", 0}, kListingAccess, FILE_DIRECTORY_FILE, listing))) return false;
    // Room for one entry with the longest name a part can have.
    LONGLONG buffer[(sizeof(FILE_ID_BOTH_DIR_INFORMATION) + MAX_PATH * sizeof(wchar_t)) / sizeof(LONGLONG) + 1];
    UNICODE_STRING mask = Counted(name);
    IO_STATUS_BLOCK status;
    NTSTATUS result = Native().list(listing.Get(), nullptr, nullptr, nullptr, &status, buffer, sizeof(buffer),
                                    FileIdBothDirectoryInformation, TRUE, &mask, TRUE);
    if (NT_SUCCESS(result)) {
        const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFORMATION*>(buffer);
        attributes = entry->FileAttributes;
        id = entry->FileId.QuadPart;
        return true;
    }
    if (result != kStatusInvalidInfoClass && result != kStatusInvalidParameter) return false;
    result = Native().list(listing.Get(), nullptr, nullptr, nullptr, &status, buffer, sizeof(buffer),
                           FileBothDirectoryInformation, TRUE, &mask, TRUE);
    if (!NT_SUCCESS(result)) return false;
    attributes = reinterpret_cast<const FILE_BOTH_DIR_INFORMATION*>(buffer)->FileAttributes;
    id = 0;
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

// Whether `opened`, reached as `name` in `folder`, is a plain file or folder,
// with its attributes in `attributes`. Attributes that cannot be read count as
// a link. Windows shows a link on the handle itself; Wine follows every link
// and shows it only in the listing, where the entry must also carry the file
// id of the handle: an open through a link swapped back since holds another.
bool IsPlain(HANDLE folder, PartName name, HANDLE opened, DWORD& attributes) {
    FILE_BASIC_INFORMATION basic;
    if (!ReadBasic(opened, basic) || (basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    attributes = basic.FileAttributes;
    DWORD listed = 0;
    LONGLONG listedId = 0;
    if (!ReadListing(folder, name, listed, listedId) || (listed & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    if (listedId == 0) return true;
    FILE_INTERNAL_INFORMATION internal;
    IO_STATUS_BLOCK status;
    if (!NT_SUCCESS(Native().query(opened, &status, &internal, sizeof(internal), FileInternalInformation))) {
        return false;
    }
    return internal.IndexNumber.QuadPart == listedId;
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
    if (HandleWalkAvailable()) root_ = OpenFolderByPath(folder);
}

bool FolderWalk::Reach(Opened& opened, Fate& fate) {
    opened.folder = root_.Get();
    std::wstring& key = opened.key;
    const std::vector<PartName>& parts = opened.parts;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        if (i) key += L'\\';
        key.append(parts[i].text, parts[i].length);
        auto found = folders_.find(key);
        if (found == folders_.end()) {
            HeldFolder held = {HeldHandle(), Fate::NotFound};
            if (OpenInFolder(opened.folder, parts[i], Purpose::Hold, held.handle) == OpenResult::Opened) {
                DWORD attributes = 0;
                if (!IsPlain(opened.folder, parts[i], held.handle.Get(), attributes)) {
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
        opened.folder = found->second.handle.Get();
    }
    if (!key.empty()) key += L'\\';
    key.append(parts.back().text, parts.back().length);
    return true;
}

bool FolderWalk::OpenLast(const wchar_t* entry, Opened& opened, Fate& fate) {
    opened.text = entry;
    opened.parts = SplitParts(opened.text);
    fate = Fate::NotFound;
    if (opened.parts.empty() || !root_.IsOpen()) return false;
    if (!Reach(opened, fate)) return false;
    const HANDLE folder = opened.folder;
    const PartName last = opened.parts.back();
    fate = Fate::NotFound;
    switch (OpenInFolder(folder, last, Purpose::Delete, opened.handle)) {
        case OpenResult::Opened:
            if (IsPlain(folder, last, opened.handle.Get(), opened.attributes)) return true;
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
    if (!IsPlain(folder, last, look.Get(), opened.attributes)) {
        fate = Fate::ThroughLink;
    } else {
        fate = (opened.attributes & FILE_ATTRIBUTE_DIRECTORY) ? Fate::FolderWaiting : Fate::InUse;
    }
    return false;
}

void FolderWalk::Forget(const std::wstring& key) {
    folders_.erase(key);
    const std::wstring below = key + L'\\';
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
    if (!(opened.attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return result == DeleteResult::Deleted ? Fate::Deleted : Fate::InUse;
    }
    if (result != DeleteResult::Deleted) return Fate::FolderWaiting;
    // The folder goes when the last handle to it closes, ours among them.
    Forget(opened.key);
    return FolderHoldsName(opened.folder, opened.parts.back()) ? Fate::FolderWaiting : Fate::Removed;
}

RenameResult FolderWalk::Rename(const wchar_t* entry, const wchar_t* name) {
    Opened opened;
    Fate fate = Fate::NotFound;
    if (!OpenLast(entry, opened, fate) || (opened.attributes & FILE_ATTRIBUTE_DIRECTORY)) return RenameResult::Failed;
    return RenameInFolder(opened.handle.Get(), opened.folder, {name, std::wcslen(name)});
}
