#pragma once

#include <windows.h>

// What every dialog of the program shares: translation and rescaling through
// the catalog when it is created, right-to-left mirroring, and the help at
// the dialog's topic from its Help button, F1 or a property sheet's Help.

// Bit of HandleCommonDialogMessage's flags: the dialog is a page of a
// property sheet.
constexpr unsigned kPropertyPageDialog = 1;

// The first step of every dialog procedure; the procedure handles the same
// message afterwards and decides its result. `dialogName` is the template's
// name, the catalog's context; `helpTopic` may be null (no help).
void HandleCommonDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const char* dialogName,
                               const char* helpTopic, unsigned flags);

// Translates the caption and the child windows' texts and, when the catalog
// holds a scale for the dialog, resizes the dialog and moves its children.
void LocalizeDialog(HWND window, const char* dialogName, bool isPropertyPage);

// Mirrors the window when the catalog or the language library asks for
// right-to-left layout.
void ApplyRtlStyle(HWND window);
