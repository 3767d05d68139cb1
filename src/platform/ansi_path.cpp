#include "platform/ansi_path.h"

#include <windows.h>

#include <vector>

namespace {

// Converts, and confirms the conversion back gives the same path: what a
// replacement character or a best-fit look-alike took the place of is lost.
bool ConvertsExactly(const wchar_t* path, char* ansi, std::size_t capacity) {
    int length = WideCharToMultiByte(CP_ACP, 0, path, -1, ansi, static_cast<int>(capacity), nullptr, nullptr);
    if (length <= 0) return false;
    std::wstring back;
    return AnsiToWide(ansi, back) && back == path;
}

}  // namespace

bool ExactAnsiPath(const wchar_t* path, char* ansi, std::size_t capacity) {
    if (capacity == 0) return false;
    if (ConvertsExactly(path, ansi, capacity)) return true;
    DWORD length = GetShortPathNameW(path, nullptr, 0);
    std::vector<wchar_t> shortPath(length + 1);
    if (length != 0 && GetShortPathNameW(path, shortPath.data(), length + 1) < length + 1 &&
        ConvertsExactly(shortPath.data(), ansi, capacity)) {
        return true;
    }
    ansi[0] = '\0';
    return false;
}

bool AnsiToWide(const char* text, std::wstring& wide) {
    int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (length <= 0) return false;
    wide.assign(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, &wide[0], length) != length) return false;
    wide.resize(static_cast<std::size_t>(length - 1));
    return true;
}
