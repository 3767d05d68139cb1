#include "ui/context_items_dialog.h"

#include "localization/dialog_localization.h"
#include "localization/language_library.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "resources/resource_ids.h"

const ContextMenuItem ContextMenuItems[kContextMenuItemCount] = {
    {"ExtrTo", 1, IDC_ITEM_EXTRACT_FILES},
    {"ExtrHere", 1, IDC_ITEM_EXTRACT_HERE},
    {"Extr", 1, IDC_ITEM_EXTRACT_TO_FOLDER},
    {"ExtrSep", 1, IDC_ITEM_EXTRACT_EACH},
    {"OpenSFX", 1, IDC_ITEM_OPEN_SFX},
    {"AddTo", 1, IDC_ITEM_ADD_TO},
    {"AddArc", 1, IDC_ITEM_ADD_TO_NAMED},
    {"EmailArc", 1, IDC_ITEM_EMAIL_NAMED},
    {"EmailOpt", 1, IDC_ITEM_EMAIL},
    {"Test", 0, IDC_ITEM_TEST},
    {"Convert", 0, IDC_ITEM_CONVERT},
    {"SFXLocal", 1, IDC_ITEM_SFX_LOCAL},
    {"SFXNetwork", 1, IDC_ITEM_SFX_NETWORK},
    {"SFXOther", 1, IDC_ITEM_SFX_OTHER},
};

namespace {

const char kHelpTopic[] = "HELPContextItems";

void ShowStoredItems(HWND dialog) {
    for (const ContextMenuItem& item : ContextMenuItems) {
        CheckDlgButton(dialog, item.checkBox, SettingGetDword(kMenuItemsKey, item.valueName, item.defaultValue));
    }
}

// Every item is written, changed or not, so the shell extension finds them all.
void StoreItems(HWND dialog) {
    for (const ContextMenuItem& item : ContextMenuItems) {
        SettingSetDword(kMenuItemsKey, item.valueName, IsDlgButtonChecked(dialog, item.checkBox));
    }
}

}  // namespace

INT_PTR CALLBACK ContextItemsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    HandleCommonDialogMessage(dialog, message, wParam, lParam, IDD_CONTEXT_ITEMS, kHelpTopic, 0);
    switch (message) {
        // Handled here, so that the settings dialog below does not open its
        // own topic as well.
        case WM_HELP:
            return TRUE;
        case WM_INITDIALOG:
            ShowStoredItems(dialog);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                    StoreItems(dialog);
                    EndDialog(dialog, 1);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dialog, 0);
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}

void ShowContextItemsDialog(HWND owner) {
    DialogBoxParamA(ModuleHolding(IDD_CONTEXT_ITEMS, RT_DIALOG), IDD_CONTEXT_ITEMS, owner, ContextItemsDialogProc, 0);
}
