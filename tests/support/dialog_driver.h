#pragma once

#include <windows.h>

#include <string>

// Drives the program's windows from outside, the way a user would.

// The first visible top-level window of the process, waited for up to
// `milliseconds`; null when none appeared.
HWND WaitForProcessWindow(DWORD processId, DWORD milliseconds);

std::string WindowText(HWND window);

// The text of a message box: its static control that holds text.
std::string MessageBoxText(HWND box);

// Presses a button of a dialog as a click would.
void PressButton(HWND dialog, int id);

// The bytes of an ANSI text in the given code page, made from UTF-8, for
// comparing window texts with the expected Chinese texts.
std::string FromUtf8(const char* utf8, UINT codePage);
