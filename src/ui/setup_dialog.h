#pragma once

#include <windows.h>

// The procedure of SETUPDLG, the integration settings: the stored choices as
// check marks; OK saves and applies them and registers the uninstall entry
// (not for a Windows Installer package) and ends with 1; Esc ends with 0.
// Without administrator rights OK says so and ends with 0.
INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
