#include "platform/file.h"

#include <cstring>
#include <cwchar>

#include "platform/error_handler.h"
#include "platform/path_text.h"
#include "platform/system.h"

File* OpenFileTable[kOpenFileTableSize] = {};

namespace {

// Pipes and consoles refuse large reads; they are read in pieces of this size.
constexpr unsigned kStreamPiece = 20000;
// The piece size of the second attempt after a failed read.
constexpr unsigned kRetryPiece = 512;

// Windows 95/98/Me have no wide file functions.
bool UseWideName(const wchar_t* wideName) {
    return WinNT() && wideName && wideName[0];
}

void EnterOpenFile(File* file) {
    for (File*& slot : OpenFileTable) {
        if (!slot) {
            slot = file;
            return;
        }
    }
}

void ForgetOpenFile(const File* file) {
    for (File*& slot : OpenFileTable) {
        if (slot == file) {
            slot = nullptr;
            return;
        }
    }
}

// Remembers the position and goes back to it, unless the file was closed in
// between.
class PositionGuard {
public:
    explicit PositionGuard(File& file) : file_(file), position_(file.Tell()), closeCount_(file.closeCount) {}
    void Restore() {
        if (file_.closeCount == closeCount_) file_.Seek(position_, FILE_BEGIN);
    }

private:
    File& file_;
    int64_t position_;
    int closeCount_;
};

}  // namespace

File::~File() {
    if (handle != INVALID_HANDLE_VALUE && !notOwned) {
        if (removeOnDestroy) {
            Remove();
        } else {
            Close();
        }
    }
    ForgetOpenFile(this);
}

bool File::Open(const char* fileName, const wchar_t* wideFileName, bool shareWrite, bool update) {
    lastError = 0;
    removeOnDestroy = 0;
    handleKind = 0;
    notOwned = 0;
    if (alwaysShareWrite) shareWrite = true;

    // Both names are kept for Remove and for reports; one that does not fit
    // its field is refused rather than cut, so that Remove can never reach a
    // different file.
    char storedName[sizeof(name)] = "";
    wchar_t storedWideName[sizeof(wideName) / sizeof(wideName[0])] = L"";
    if (wideFileName && !CopyWide(storedWideName, wideFileName, sizeof(storedWideName) / sizeof(storedWideName[0]))) {
        return false;
    }
    if (fileName) {
        if (std::strlen(fileName) >= sizeof(storedName)) return false;
        CopyBounded(storedName, fileName, sizeof(storedName));
    } else if (wideFileName && !WideToAnsi(wideFileName, storedName, sizeof(storedName))) {
        return false;
    }
    bool wide = UseWideName(wideFileName);
    if (!wide && !fileName) return false;

    DWORD access = update ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    DWORD share = shareWrite ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
    DWORD flags = randomAccess ? 0 : FILE_FLAG_SEQUENTIAL_SCAN;
    HANDLE opened = wide ? CreateFileW(wideFileName, access, share, nullptr, OPEN_EXISTING, flags, nullptr)
                         : CreateFileA(fileName, access, share, nullptr, OPEN_EXISTING, flags, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND) lastError = 1;
        return false;
    }
    handle = opened;
    std::memcpy(name, storedName, sizeof(name));
    std::memcpy(wideName, storedWideName, sizeof(wideName));
    EnterOpenFile(this);
    return true;
}

int File::ReadRaw(void* buffer, unsigned size) {
    HANDLE source = handle;
    if (handleKind == 1) {
        if (size > kStreamPiece) size = kStreamPiece;
        source = GetStdHandle(STD_INPUT_HANDLE);
    }
    DWORD read = 0;
    if (ReadFile(source, buffer, size, &read, nullptr)) return static_cast<int>(read);
    DWORD error = GetLastError();
    if (IsStream() && size > kStreamPiece) return ReadRaw(buffer, kStreamPiece);
    if (handleKind == 1 && error == ERROR_BROKEN_PIPE) return 0;  // the writer closed its end
    return -1;
}

int File::Read(void* buffer, unsigned size) {
    int64_t start = pieceWiseOnError ? Tell() : 0;
    for (;;) {
        int count = ReadRaw(buffer, size);
        if (count != -1) return count;
        lastError = 2;
        if (!reportErrors) return -1;
        if (pieceWiseOnError) break;
        if (handleKind != 0 || !ErrorHandler::ConfirmRetry(name)) {
            ErrorHandler::ReportFailure(name);
            return -1;
        }
    }
    // Save what can be read around a bad spot. A piece that fails is handed
    // back as zeros and counted with its own size, so the total never exceeds
    // the request.
    unsigned char* bytes = static_cast<unsigned char*>(buffer);
    unsigned total = 0;
    for (unsigned offset = 0; offset < size; offset += kRetryPiece) {
        unsigned piece = size - offset < kRetryPiece ? size - offset : kRetryPiece;
        Seek(start + offset, FILE_BEGIN);
        int count = ReadRaw(bytes + offset, piece);
        if (count == -1) {
            std::memset(bytes + offset, 0, piece);
            count = static_cast<int>(piece);
        }
        total += static_cast<unsigned>(count);
    }
    return static_cast<int>(total);
}

int64_t File::Tell() {
    LONG high = 0;
    DWORD low = SetFilePointer(handle, 0, &high, FILE_CURRENT);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
        if (reportErrors) ErrorHandler::ReportFailure(name);
        return -1;
    }
    return static_cast<int64_t>(high) * 0x100000000LL + low;
}

bool File::SeekRaw(int64_t offset, DWORD method) {
    if (handle == INVALID_HANDLE_VALUE) return true;
    // Negative relative moves are made absolute first: Windows 95/98/Me
    // mishandle a negative 64-bit distance.
    if (offset < 0 && method != FILE_BEGIN) {
        offset += method == FILE_CURRENT ? Tell() : QuerySize();
        method = FILE_BEGIN;
    }
    LONG high = static_cast<LONG>(offset >> 32);
    DWORD low = SetFilePointer(handle, static_cast<LONG>(offset & 0xFFFFFFFF), &high, method);
    return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

bool File::Seek(int64_t offset, DWORD method) {
    bool moved = SeekRaw(offset, method);
    if (!moved && reportErrors) ErrorHandler::ReportFailure(name);
    return moved;
}

int64_t File::QuerySize() {
    PositionGuard guard(*this);
    if (!SeekRaw(0, FILE_END) && reportErrors) ErrorHandler::ReportFailure(name);
    int64_t size = Tell();
    guard.Restore();
    return size;
}

bool File::IsStream() {
    if (handle == INVALID_HANDLE_VALUE) return false;
    DWORD type = GetFileType(handle);
    return type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE;
}

bool File::Close() {
    bool closed = true;
    if (handleKind != 0) {
        handleKind = 0;  // standard input is not ours to close
    } else if (handle != INVALID_HANDLE_VALUE) {
        if (!notOwned) closed = CloseHandle(handle) == TRUE;
        ForgetOpenFile(this);
        handle = INVALID_HANDLE_VALUE;
        if (!closed && reportErrors) ErrorHandler::ReportFailure(name);
    }
    ++closeCount;
    return closed;
}

bool File::Remove() {
    if (handleKind != 0) return false;
    if (handle != INVALID_HANDLE_VALUE) Close();
    if (!allowRemove) return false;
    return RemoveFile(name, wideName);
}

bool FileExists(const char* name, const wchar_t* wideName) {
    if (UseWideName(wideName)) return GetFileAttributesW(wideName) != INVALID_FILE_ATTRIBUTES;
    return name && GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES;
}

bool RemoveFile(const char* name, const wchar_t* wideName) {
    if (UseWideName(wideName)) return DeleteFileW(wideName) != 0;
    return name && DeleteFileA(name) != 0;
}
