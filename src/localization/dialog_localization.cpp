#include "localization/dialog_localization.h"

#include <commctrl.h>

#include "localization/catalog.h"
#include "localization/dialog_scale.h"
#include "localization/dialog_text.h"
#include "localization/language_library.h"
#include "localization/resource_source.h"
#include "platform/system.h"
#include "ui/help_viewer.h"

namespace {

const char kComboBoxClass[] = "COMBOBOX";
constexpr LONG kComboBoxTypeMask = 3;

PixelRect WindowPixels(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

// `source` is the text as the template holds it, for a catalog keyed over
// UTF-16; the live text has gone through the system's code page.
void TranslateWindowText(HWND window, const char* dialogName, const ResourceText& source) {
    char text[kDialogTextSize];
    if (!IsTranslatedDialogText(GetWindowTextA(window, text, sizeof(text)))) return;
    TranslateSource(text, source, text, sizeof(text), kDialogText, dialogName);
    SetWindowTextA(window, text);
}

// The template's text for `child`: its controls are created in template
// order, so the next item with the child's identifier is its own. A child
// the template does not hold leaves the reader where it was.
ResourceText ControlSource(DialogTemplateReader& source, HWND child) {
    const uint16_t id = static_cast<uint16_t>(GetDlgCtrlID(child));
    DialogTemplateReader items = source;
    TemplateItem item;
    while (items.NextControl(item)) {
        if (static_cast<uint16_t>(item.id) == id) {
            source = items;
            return item.text;
        }
    }
    return {};
}

// A drop-down list is part of the combo box's height in its template.
bool HasDroppedList(HWND child) {
    char className[kDialogTextSize];
    GetClassNameA(child, className, sizeof(className));
    return CompareNoCase(className, kComboBoxClass) == 0 &&
           (GetWindowLongA(child, GWL_STYLE) & kComboBoxTypeMask) != CBS_SIMPLE;
}

struct DialogGeometry {
    PixelRect window;
    int frameX;
    int frameY;
    int dialogFrame;
    int widthPercent;
    int heightPercent;
    bool mirrored;
};

void ScaleChild(HWND child, const DialogGeometry& dialog) {
    ChildPlacement place = ScaleChildPlacement(WindowPixels(child), dialog.window, dialog.frameX, dialog.frameY,
                                               dialog.dialogFrame, dialog.widthPercent, dialog.heightPercent,
                                               dialog.mirrored);
    if (HasDroppedList(child)) {
        RECT dropped = {};
        SendMessageA(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
        place.height += ScaleByPercent(dropped.bottom - dropped.top + 1, dialog.heightPercent);
    }
    SetWindowPos(child, nullptr, place.x, place.y, place.width, place.height, SWP_NOZORDER | SWP_NOOWNERZORDER);
}

void OpenHelp(HWND window, const char* helpTopic) {
    if (helpTopic) ShowHelp(window, helpTopic, false);
}

// The sheet and its tab control are mirrored with the page.
void MirrorPropertySheet(HWND page) {
    HWND sheet = GetParent(page);
    HWND tabs = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
    ApplyRtlStyle(sheet);
    if (sheet && tabs) {
        ApplyRtlStyle(tabs);
        InvalidateRect(tabs, nullptr, TRUE);
    }
}

}  // namespace

void ApplyRtlStyle(HWND window) {
    if (!Catalog.rtl) return;
    SetWindowLongA(window, GWL_EXSTYLE, GetWindowLongA(window, GWL_EXSTYLE) | WS_EX_LAYOUTRTL);
}

void LocalizeDialog(HWND window, const char* dialogName, bool isPropertyPage) {
    DialogGeometry dialog;
    bool scaled = GetDialogScale(dialogName, dialog.widthPercent, dialog.heightPercent);
    RECT client;
    GetClientRect(window, &client);
    dialog.window = WindowPixels(window);
    dialog.frameX = FrameExtent(dialog.window.right - dialog.window.left, client.right);
    dialog.frameY = FrameExtent(dialog.window.bottom - dialog.window.top, client.bottom);
    // A page's size belongs to its property sheet.
    if (scaled && !isPropertyPage) {
        SetWindowPos(window, nullptr, 0, 0, ScaleByPercent(client.right, dialog.widthPercent) + dialog.frameX,
                     ScaleByPercent(client.bottom, dialog.heightPercent) + dialog.frameY,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER);
        // The resize keeps the left and top edges; a mirrored dialog's
        // children moved with its right one.
        dialog.window = WindowPixels(window);
    }
    DialogTemplateReader source =
        Catalog.KeysOverUtf16() ? DialogSource(ModuleHolding(dialogName, RT_DIALOG), dialogName)
                                : DialogTemplateReader(nullptr, 0);
    if (!isPropertyPage) TranslateWindowText(window, dialogName, source.Caption());
    dialog.dialogFrame = GetSystemMetrics(SM_CYDLGFRAME);
    dialog.mirrored = (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
    HWND first = GetWindow(window, GW_CHILD);
    HWND child = first;
    for (int visited = 0; child && visited < kMaxChildWindows; ++visited) {
        TranslateWindowText(child, dialogName, ControlSource(source, child));
        if (scaled) ScaleChild(child, dialog);
        child = GetWindow(child, GW_HWNDNEXT);
        if (child == first) break;
    }
}

void HandleCommonDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const char* dialogName,
                               const char* helpTopic, unsigned flags) {
    bool isPropertyPage = (flags & kPropertyPageDialog) != 0;
    switch (message) {
        // WM_SETFONT comes during creation, before WM_INITDIALOG: the
        // children are laid out mirrored from the start.
        case WM_SETFONT:
            if (isPropertyPage && Catalog.rtl) MirrorPropertySheet(window);
            ApplyRtlStyle(window);
            break;
        case WM_NOTIFY:
            if (isPropertyPage && lParam && reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(PSN_HELP)) {
                OpenHelp(window, helpTopic);
            }
            break;
        case WM_HELP:
            OpenHelp(window, helpTopic);
            break;
        case WM_INITDIALOG:
            LocalizeDialog(window, dialogName, isPropertyPage);
            break;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDHELP) OpenHelp(window, helpTopic);
            break;
        default:
            break;
    }
}
