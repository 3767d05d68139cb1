#include "support/dialog_driver.h"

#include <vector>

namespace {

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchProcessWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK FindTextStatic(HWND child, LPARAM parameter) {
    char className[32];
    GetClassNameA(child, className, sizeof(className));
    if (lstrcmpiA(className, "Static") != 0 || GetWindowTextLengthA(child) == 0) return TRUE;
    *reinterpret_cast<std::string*>(parameter) = WindowText(child);
    return FALSE;
}

}  // namespace

HWND WaitForProcessWindow(DWORD processId, DWORD milliseconds) {
    DWORD start = GetTickCount();
    do {
        WindowSearch search = {processId, nullptr};
        EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        Sleep(50);
    } while (GetTickCount() - start < milliseconds);
    return nullptr;
}

std::string WindowText(HWND window) {
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(copied));
    return text;
}

std::string MessageBoxText(HWND box) {
    std::string text;
    EnumChildWindows(box, FindTextStatic, reinterpret_cast<LPARAM>(&text));
    return text;
}

void PressButton(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::string FromUtf8(const char* utf8, UINT codePage) {
    int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::vector<wchar_t> wide(static_cast<size_t>(wideLength));
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), wideLength);
    int length = WideCharToMultiByte(codePage, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), -1, &text[0], length, nullptr, nullptr);
    text.resize(static_cast<size_t>(length) - 1);
    return text;
}
