#include "platform/oem_text.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

#include "platform/path_text.h"

namespace {

// Both conversions without flags: Windows 95 knows none of the ones that
// would refuse a best fit, so the result is read back and compared instead.
int ToWide(UINT codePage, const char* text, wchar_t* wide, int capacity) {
    return MultiByteToWideChar(codePage, 0, text, -1, wide, capacity);
}

int FromWide(UINT codePage, const wchar_t* wide, char* text, int capacity) {
    return WideCharToMultiByte(codePage, 0, wide, -1, text, capacity, nullptr, nullptr);
}

}  // namespace

bool AnsiToOem(const char* ansi, char* oem, std::size_t capacity) {
    wchar_t wide[kPathSize];
    wchar_t readBack[kPathSize];
    char ansiAgain[kPathSize];
    if (ToWide(CP_ACP, ansi, wide, kPathSize) == 0) return false;
    // A byte that is no character of the ANSI code page has no true form.
    if (FromWide(CP_ACP, wide, ansiAgain, kPathSize) == 0 || std::strcmp(ansiAgain, ansi) != 0) return false;
    if (FromWide(CP_OEMCP, wide, oem, static_cast<int>(capacity)) == 0) return false;
    return ToWide(CP_OEMCP, oem, readBack, kPathSize) != 0 && std::wcscmp(readBack, wide) == 0;
}
