#include "ui/done_dialog.h"

#include <shellapi.h>

#include "entry/app_state.h"
#include "integration/archiver.h"
#include "localization/dialog_localization.h"
#include "localization/messages.h"
#include "platform/path_text.h"
#include "platform/program_path.h"
#include "resources/resource_ids.h"
#include "ui/help_viewer.h"

namespace {

const char kLicenseName[] = "license.txt";
const char kOrderPageName[] = "order.htm";
const char kBoldFontFace[] = "MS Sans Serif";
constexpr int kBoldFontPoints = 9;
constexpr int kPointsPerInch = 72;

// The installation folder is the program's own: the current directory is
// wherever the installer happened to start us, and what lies there must not
// be shown or started.
void ShowProgramFolder(HWND dialog) {
    char folder[kPathSize];
    if (GetProgramPath(folder, sizeof(folder))) RemoveNameFromPath(folder);
    SetDlgItemTextA(dialog, IDC_DONE_FOLDER, folder);
}

void OpenWithShell(const char* target) {
    ShellExecuteA(nullptr, "open", target, nullptr, "", SW_SHOWNORMAL);
}

// A program path too long to name the file opens nothing.
void OpenBesideProgram(const char* name) {
    char path[kPathSize];
    if (PathBesideProgram(name, path, sizeof(path))) OpenWithShell(path);
}

void InitializeDialog(HWND dialog) {
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(AppState.DialogIcon));
    SendDlgItemMessageA(dialog, IDC_THANKS, WM_SETFONT, reinterpret_cast<WPARAM>(AppState.BoldFont), FALSE);
    ShowProgramFolder(dialog);
    if (AppState.Silent) SendMessageA(dialog, WM_COMMAND, IDOK, 0);
}

}  // namespace

INT_PTR CALLBACK DoneDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    HandleCommonDialogMessage(dialog, message, wParam, lParam, IDD_DONE, nullptr, 0);
    switch (message) {
        case WM_INITDIALOG:
            InitializeDialog(dialog);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                case IDCANCEL:
                    EndDialog(dialog, 1);
                    break;
                case IDC_RUN_ARCHIVER:
                    OpenBesideProgram(kArchiverName);
                    break;
                case IDC_READ_HELP:
                    ShowHelp(dialog, nullptr, false);
                    break;
                case IDC_VIEW_LICENSE:
                    OpenBesideProgram(kLicenseName);
                    break;
                case IDC_ORDER:
                    OpenBesideProgram(kOrderPageName);
                    break;
                case IDC_OPEN_HOMEPAGE:
                    OpenWithShell(GetMsg(IDS_HOMEPAGE));
                    break;
                default:
                    break;
            }
            return TRUE;
        default:
            return FALSE;
    }
}

// In points, as the dialogs' own font: on a screen of 144 DPI the program is
// laid out larger, and a size in pixels would shrink against the rest. The
// negative height asks for the character height without the leading.
HFONT CreateBoldFont() {
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(kBoldFontPoints, GetDeviceCaps(screen, LOGPIXELSY), kPointsPerInch);
    ReleaseDC(nullptr, screen);
    return CreateFontA(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 0, kBoldFontFace);
}
