#pragma once

// The process-wide run state shared by the start-up, the dialogs and the
// uninstaller. The handle types are the ones <windows.h> declares, named
// through their structure tags so that this header stays free of it.
#include "platform/path_text.h"

struct HFONT__;
struct HICON__;

struct ApplicationState {
    wchar_t GroupFolder[kPathSize];  // as the file system names it on the NT family
    HFONT__* BoldFont;
    HICON__* DialogIcon;
    unsigned char Silent;
    unsigned char MsiMode;
};

extern ApplicationState AppState;
