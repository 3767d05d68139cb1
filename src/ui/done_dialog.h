#pragma once

#include <windows.h>

// The procedure of DONEDLG, the completion dialog: the program folder as the
// installation folder, buttons that start the archiver and open its help,
// licence, ordering page and homepage. Finish, Esc and the close box all end
// it with 1.
INT_PTR CALLBACK DoneDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The bold font of the completion dialog's closing line; the start-up keeps
// it in AppState and deletes it at the end.
HFONT CreateBoldFont();
