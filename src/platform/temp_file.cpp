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

}  // namespace

HANDLE CreateNewTempFile(const TempFileName& nameOf, int first, int last, char* path, std::size_t capacity) {
    char folder[kPathSize];
    if (!GetTempFolder(folder, sizeof(folder))) return INVALID_HANDLE_VALUE;
    char name[kPathSize];
    for (int number = first; number <= last; ++number) {
        if (!nameOf(number, name, sizeof(name)) || !FormatInto(path, capacity, "%s", folder) ||
            !AppendPathName(path, capacity, name)) {
            return INVALID_HANDLE_VALUE;
        }
        HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        if (file != INVALID_HANDLE_VALUE) return file;
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    return INVALID_HANDLE_VALUE;
}
