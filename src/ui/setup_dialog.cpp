#include "ui/setup_dialog.h"

#include <richedit.h>

#include <cstring>

#include "entry/app_state.h"
#include "integration/program_registration.h"
#include "integration/settings.h"
#include "localization/dialog_localization.h"
#include "localization/messages.h"
#include "platform/path_text.h"
#include "platform/run_log.h"
#include "resources/resource_ids.h"
#include "ui/context_items_dialog.h"
#include "ui/notice.h"

namespace {

const char kHelpTopic[] = "HELPIntegrationSettings";
constexpr std::size_t kExplanationSize = 4096;
const char kExplanationStart[] = "   ";
const char kSentenceJoin[] = " ";
// The pointer to the help stands on a line of its own.
const char kHelpLineStart[] = "\r\n    ";

void Append(char (&text)[kExplanationSize], const char* piece) {
    std::size_t used = std::strlen(text);
    FormatInto(text + used, sizeof(text) - used, "%s", piece);
}

// Six messages of at most 511 bytes always fit the buffer.
void ShowExplanation(HWND dialog) {
    char text[kExplanationSize];
    CopyBounded(text, kExplanationStart, sizeof(text));
    for (unsigned id = IDS_SETUP_INFO_1; id <= IDS_SETUP_INFO_5; ++id) {
        Append(text, kSentenceJoin);
        Append(text, GetMsg(id));
    }
    Append(text, kHelpLineStart);
    Append(text, GetMsg(IDS_SETUP_INFO_HELP));
    SetDlgItemTextA(dialog, IDC_EXPLANATION, text);
}

void InitializeDialog(HWND dialog) {
    ShowExplanation(dialog);
    IntegrationSettings settings = {};
    LoadSettings(settings);
    ShowSettingsInDialog(dialog, settings);
    SetForegroundWindow(dialog);
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(AppState.DialogIcon));
    // The explanation reads as part of the dialog, not as an edit field.
    SendDlgItemMessageA(dialog, IDC_EXPLANATION, EM_SETBKGNDCOLOR, 0, GetSysColor(COLOR_BTNFACE));
    if (AppState.Silent) SendMessageA(dialog, WM_COMMAND, IDOK, 0);
}

// Without administrator rights nothing machine-wide was written: the user
// is told, and no uninstall entry points at an integration that is not
// there. The result 0 lets no completion dialog follow.
void ConfirmSettings(HWND dialog) {
    IntegrationSettings settings = {};
    ReadSettingsFromDialog(dialog, settings);
    SaveSettings(settings);
    if (!ApplyIntegration(settings, AppState.GroupFolder)) {
        SetRunOutcome("setup stopped: administrator rights needed");
        ShowNotice("5131 administrator rights needed", GetMsg(IDS_ADMIN_RIGHTS_NEEDED), GetMsg(IDS_PRODUCT_NAME),
                   MB_ICONERROR | MB_SETFOREGROUND, dialog);
        EndDialog(dialog, 0);
        return;
    }
    if (!AppState.MsiMode) RegisterUninstallEntry();
    SetRunOutcome(AppState.MsiMode ? "setup complete, for a Windows Installer package (no entry in the list of "
                                     "installed programs)"
                                   : "setup complete");
    EndDialog(dialog, 1);
}

// The menu options follow the shell integration's check box at once.
void UpdateShellOptions(HWND dialog) {
    IntegrationSettings settings = {};
    ReadSettingsFromDialog(dialog, settings);
    ShowSettingsInDialog(dialog, settings);
}

}  // namespace

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    HandleCommonDialogMessage(dialog, message, wParam, lParam, IDD_SETUP, kHelpTopic, 0);
    switch (message) {
        case WM_INITDIALOG:
            InitializeDialog(dialog);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                    ConfirmSettings(dialog);
                    break;
                case IDCANCEL:
                    SetRunOutcome("setup cancelled in the settings dialog");
                    EndDialog(dialog, 0);
                    break;
                case IDC_SHELL_INTEGRATION:
                    UpdateShellOptions(dialog);
                    break;
                case IDC_SELECT_ALL:
                    CheckAllGroups(dialog);
                    break;
                case IDC_CONTEXT_ITEMS:
                    ShowContextItemsDialog(dialog);
                    break;
                default:
                    break;
            }
            return TRUE;
        default:
            return FALSE;
    }
}
