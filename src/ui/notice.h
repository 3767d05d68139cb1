#pragma once

#include <windows.h>

// A message box, or the answer it would get when nobody can see the desktop
// (DesktopUnseen): then no box is shown, a question counts as No and a notice
// as read, so that an unattended run never waits for a click. The log gets a
// line naming the box and its text before it appears, and one with the
// answer. `name` says which box: "5107 confirmation".
int ShowNotice(const char* name, const char* text, const char* caption, UINT type, HWND owner = nullptr);
