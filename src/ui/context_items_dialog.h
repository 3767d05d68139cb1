#pragma once

#include <windows.h>

// The items of Explorer's context menu that the shell extension offers, each
// a DWORD under "Setup\MenuItems" with its default and its check box in
// SETUPCONTEXTITEMS.
struct ContextMenuItem {
    const char* valueName;
    DWORD defaultValue;
    int checkBox;
};

constexpr int kContextMenuItemCount = 14;
extern const ContextMenuItem ContextMenuItems[kContextMenuItemCount];

// The procedure of SETUPCONTEXTITEMS: the stored items as check marks; OK
// stores all of them, Cancel none.
INT_PTR CALLBACK ContextItemsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// SETUPCONTEXTITEMS, modal to `owner`.
void ShowContextItemsDialog(HWND owner);
