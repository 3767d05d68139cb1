#pragma once

#include <windows.h>

// The compiled help "kelvon.chm" beside the program, shown through the HTML
// Help control, which is loaded at the first request. With a topic, its page;
// without, the table of contents. With `close`, every help window of the
// process is closed and the control released (the exit handler does that).
void ShowHelp(HWND owner, const char* topic, bool close);
