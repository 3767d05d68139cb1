#include "support/dialog_driver.h"

#include <gtest/gtest.h>

#include "support/process.h"

namespace {

struct WindowSearch {
    DWORD processId;
    const std::string* title;  // null: any title
    HWND found;
};

BOOL CALLBACK MatchProcessWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
    if (search->title && WindowText(window) != *search->title) return TRUE;
    search->found = window;
    return FALSE;
}

HWND WaitForWindow(DWORD processId, const std::string* title, DWORD milliseconds) {
    DWORD start = GetTickCount();
    do {
        WindowSearch search = {processId, title, nullptr};
        EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        Sleep(50);
    } while (GetTickCount() - start < milliseconds);
    return nullptr;
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
    return WaitForWindow(processId, nullptr, milliseconds);
}

HWND WaitForProcessWindowTitled(DWORD processId, const std::string& title, DWORD milliseconds) {
    return WaitForWindow(processId, &title, milliseconds);
}

bool WaitForWindowGone(HWND window, DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start >= milliseconds) return false;
        Sleep(50);
    }
    return true;
}

std::string WindowText(HWND window) {
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(copied));
    return text;
}

std::string ClassName(HWND window) {
    char name[256];
    int length = GetClassNameA(window, name, sizeof(name));
    return std::string(name, static_cast<size_t>(length > 0 ? length : 0));
}

std::vector<HWND> ChildWindows(HWND dialog) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

std::string MessageBoxText(HWND box) {
    std::string text;
    EnumChildWindows(box, FindTextStatic, reinterpret_cast<LPARAM>(&text));
    return text;
}

void PressButton(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool CloseWithButton(HWND dialog, int id, DWORD milliseconds) {
    // A click on a dialog that is not yet active can be lost; pressing
    // again is harmless, as a closed dialog takes no more messages.
    DWORD start = GetTickCount();
    do {
        SetForegroundWindow(dialog);
        PressButton(dialog, id);
        if (WaitForWindowGone(dialog, 2000)) return true;
    } while (GetTickCount() - start < milliseconds);
    return false;
}

void PressKey(HWND window, UINT key) {
    // Through the system's input, as F1 becomes WM_HELP only on that road.
    SetForegroundWindow(window);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = static_cast<WORD>(key);
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

void PressCloseBox(HWND window) {
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

MessageBoxSeen RunToMessageBox(const std::string& program, const std::string& arguments) {
    StartedProgram started;
    EXPECT_TRUE(StartProgram(program, arguments, started));
    HWND box = WaitForProcessWindow(started.info.dwProcessId, 20000);
    EXPECT_NE(nullptr, box) << "no message box appeared";
    if (!box) return {};
    MessageBoxSeen seen = {WindowText(box), MessageBoxText(box)};
    EXPECT_TRUE(CloseWithButton(box, IDOK, 20000));
    EXPECT_EQ(0u, started.WaitForExit(20000));
    return seen;
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
