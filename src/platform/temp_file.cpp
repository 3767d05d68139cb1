#include "platform/temp_file.h"

#include "platform/ansi_path.h"
#include "platform/path_text.h"
#include "platform/system.h"

namespace {

// The temp folder comes from the user's environment, which an unelevated
// process sets: on the NT family only its exact ANSI form is taken.
bool GetTempFolder(char* folder, std::size_t capacity) {
    if (WinNT()) {
        wchar_t wide[kPathSize];
        DWORD length = GetTempPathW(kPathSize, wide);
        return length != 0 && length < kPathSize && ExactAnsiPath(wide, folder, capacity);
    }
    DWORD length = GetTempPathA(static_cast<DWORD>(capacity), folder);
    return length != 0 && length < capacity;
}

// Whatever a handle opened without following links leads to: a reparse point
// (the link itself), a folder, a device, or a file with a second name.
bool IsPlainFileOfOneName(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info;
    const DWORD notPlain = FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE;
    return GetFileInformationByHandle(file, &info) && !(info.dwFileAttributes & notPlain) &&
           info.nNumberOfLinks == 1;
}

}  // namespace

HANDLE OpenOwnFile(const char* path, DWORD disposition) {
    // Windows 95, 98 and Me know no links, nor this flag.
    const DWORD noFollow = WinNT() ? FILE_FLAG_OPEN_REPARSE_POINT : 0;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL | noFollow, nullptr);
    if (file == INVALID_HANDLE_VALUE || IsPlainFileOfOneName(file)) return file;
    CloseHandle(file);
    SetLastError(ERROR_CANT_ACCESS_FILE);
    return INVALID_HANDLE_VALUE;
}

HANDLE CreateNewTempFile(const TempFileName& nameOf, int first, int last, char* path, std::size_t capacity) {
    char folder[kPathSize];
    if (!GetTempFolder(folder, sizeof(folder))) return INVALID_HANDLE_VALUE;
    char name[kPathSize];
    for (int number = first; number <= last; ++number) {
        if (!nameOf(number, name, sizeof(name)) || !FormatInto(path, capacity, "%s", folder) ||
            !AppendPathName(path, capacity, name)) {
            return INVALID_HANDLE_VALUE;
        }
        HANDLE file = OpenOwnFile(path, CREATE_NEW);
        if (file != INVALID_HANDLE_VALUE) return file;
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    return INVALID_HANDLE_VALUE;
}
