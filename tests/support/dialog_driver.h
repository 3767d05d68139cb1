#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Drives the program's windows from outside, the way a user would.

// The first visible top-level window of the process, waited for up to
// `milliseconds`; null when none appeared.
HWND WaitForProcessWindow(DWORD processId, DWORD milliseconds);

// A visible top-level window of the process with exactly this title, waited
// for up to `milliseconds`; null when none appeared.
HWND WaitForProcessWindowTitled(DWORD processId, const std::string& title, DWORD milliseconds);

// True once the window is gone, waited for up to `milliseconds`.
bool WaitForWindowGone(HWND window, DWORD milliseconds);

std::string WindowText(HWND window);
std::string ClassName(HWND window);

// The child windows of a dialog in their order, which is the template's.
std::vector<HWND> ChildWindows(HWND dialog);

// The text of a message box: its static control that holds text.
std::string MessageBoxText(HWND box);

// Presses a button of a dialog as a click would.
void PressButton(HWND dialog, int id);

// Presses a button that closes the dialog until the dialog is gone, for up
// to `milliseconds`; false when it stayed.
bool CloseWithButton(HWND dialog, int id, DWORD milliseconds);

// A key pressed and released while `window` is in the foreground (Esc, F1...).
void PressKey(HWND window, UINT key);

// The close box of the window's caption.
void PressCloseBox(HWND window);

struct MessageBoxSeen {
    std::string caption;
    std::string text;
};

// Runs `program` with `arguments`, reads the message box it shows, presses
// OK and expects the program to end with code 0.
MessageBoxSeen RunToMessageBox(const std::string& program, const std::string& arguments);

// The bytes of an ANSI text in the given code page, made from UTF-8, for
// comparing window texts with the expected Chinese texts.
std::string FromUtf8(const char* utf8, UINT codePage);
