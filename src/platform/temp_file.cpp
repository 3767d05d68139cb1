#include "platform/temp_file.h"

#include "platform/path_text.h"

HANDLE CreateNewTempFile(const TempFileName& nameOf, int first, int last, char* path, std::size_t capacity) {
    char folder[kPathSize];
    DWORD length = GetTempPathA(sizeof(folder), folder);
    if (length == 0 || length >= sizeof(folder)) return INVALID_HANDLE_VALUE;
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
