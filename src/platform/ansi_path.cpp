#include "platform/ansi_path.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace {

enum class AnsiForm { Exact, Inexact, TooLong };

// Converts, and confirms the conversion back gives the same path: what a
// replacement character or a best-fit look-alike took the place of is lost.
// An exact form that does not fit is refused rather than exchanged for
// another form of the path.
AnsiForm ConvertExactly(const wchar_t* path, char* ansi, std::size_t capacity) {
    int length = WideCharToMultiByte(CP_ACP, 0, path, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return AnsiForm::Inexact;
    std::vector<char> whole(static_cast<std::size_t>(length));
    if (WideCharToMultiByte(CP_ACP, 0, path, -1, whole.data(), length, nullptr, nullptr) != length) {
        return AnsiForm::Inexact;
    }
    std::wstring back;
    if (!AnsiToWide(whole.data(), back) || back != path) return AnsiForm::Inexact;
    if (whole.size() > capacity) return AnsiForm::TooLong;
    std::memcpy(ansi, whole.data(), whole.size());
    return AnsiForm::Exact;
}

}  // namespace

bool ExactAnsiPath(const wchar_t* path, char* ansi, std::size_t capacity) {
    if (capacity == 0) return false;
    AnsiForm form = ConvertExactly(path, ansi, capacity);
    if (form == AnsiForm::Inexact) {
        DWORD length = GetShortPathNameW(path, nullptr, 0);
        std::vector<wchar_t> shortPath(length + 1);
        if (length != 0 && GetShortPathNameW(path, shortPath.data(), length + 1) < length + 1) {
            form = ConvertExactly(shortPath.data(), ansi, capacity);
        }
    }
    if (form == AnsiForm::Exact) return true;
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
