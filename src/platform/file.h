#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/path_text.h"

// A file read through a Win32 handle, reporting its failures to the
// ErrorHandler. Opened files are entered in OpenFileTable.
class File {
public:
    File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    virtual ~File();

    // The file must exist. On the NT family a non-empty wideName is used. A
    // name that does not fit its field (1023 bytes, 1023 wide characters) is
    // refused without opening anything.
    bool Open(const char* name, const wchar_t* wideName, bool shareWrite, bool update);
    bool Close();
    // Bytes read, 0 at the end of the file, -1 on failure.
    int Read(void* buffer, unsigned size);
    bool Seek(int64_t offset, DWORD method);
    int64_t Tell();
    int64_t QuerySize();
    bool IsStream();
    bool Remove();

    HANDLE handle = INVALID_HANDLE_VALUE;
    int handleKind = 0;  // 0: opened by Open; 1: the process's standard input
    unsigned char notOwned = 0;
    unsigned char pieceWiseOnError = 0;
    unsigned char removeOnDestroy = 0;
    unsigned char allowRemove = 1;
    unsigned char reportErrors = 1;
    unsigned char randomAccess = 0;
    unsigned char alwaysShareWrite = 0;
    char name[kPathSize] = "";
    wchar_t wideName[kPathSize] = L"";
    int lastError = 0;  // 1: did not exist at the last Open; 2: the last read failed
    int closeCount = 0;

private:
    int ReadRaw(void* buffer, unsigned size);
    bool SeekRaw(int64_t offset, DWORD method);
};

constexpr int kOpenFileTableSize = 256;
extern File* OpenFileTable[kOpenFileTableSize];

bool FileExists(const char* name, const wchar_t* wideName);
bool RemoveFile(const char* name, const wchar_t* wideName);
