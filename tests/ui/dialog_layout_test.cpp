// Every dialog in the run's language and at the run's DPI (KELVON_CATALOG
// beside the program, KELVON_DPI in the prefix): each control lies within the
// client area, none overlaps another unless a group box holds it, and each
// static text fits its control in the font the program gives it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "hosted_dialog.h"
#include "resources/resource_ids.h"
#include "support/dialog_driver.h"
#include "ui/done_dialog.h"

namespace {

INT_PTR CALLBACK Inert(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

bool Holds(const RECT& outer, const RECT& inner) {
    RECT both;
    UnionRect(&both, &outer, &inner);
    return EqualRect(&both, &outer);
}

std::string Placed(HWND control, const RECT& r) {
    return "control " + std::to_string(GetDlgCtrlID(control) & 0xFFFF) + " \"" + ControlText(control) + "\" at (" +
           std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

// A static text wraps as its control does; the folder, set at run time, is left out.
bool TextFits(HWND control, const RECT& place, HFONT font) {
    const LONG style = GetWindowLongA(control, GWL_STYLE), type = style & SS_TYPEMASK;
    const std::string text = ControlText(control);
    if (ClassName(control) != "Static" || type > SS_RIGHT || text.empty() || GetDlgCtrlID(control) == IDC_DONE_FOLDER) {
        return true;
    }
    RECT needed = {0, 0, place.right - place.left, 0};
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, font);
    DrawTextA(screen, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | (style & SS_NOPREFIX ? DT_NOPREFIX : 0));
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return needed.right <= place.right - place.left && needed.bottom <= place.bottom - place.top;
}

std::vector<std::string> LayoutFaults(HWND dialog, const char* name, const std::string& module) {
    // The dialog's font comes from a hidden copy of its template made here,
    // at the same DPI; the one control with a font of its own has the bold one.
    HMODULE source = LoadLibraryExA(module.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = FindResourceA(source, name, RT_DIALOG);
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(source, found)));
    std::vector<BYTE> hidden(bytes, bytes + SizeofResource(source, found));
    reinterpret_cast<DLGTEMPLATE*>(hidden.data())->style &= ~WS_VISIBLE;
    HWND copy = CreateDialogIndirectParamA(nullptr, reinterpret_cast<DLGTEMPLATE*>(hidden.data()), nullptr, Inert, 0);
    HFONT bold = CreateBoldFont();
    std::vector<std::string> faults;
    RECT client;
    GetClientRect(dialog, &client);
    std::vector<HWND> controls = ChildWindows(dialog);
    std::vector<RECT> places(controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        GetWindowRect(controls[i], &places[i]);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&places[i]), 2);
        const bool ownFont = SendMessageA(controls[i], WM_GETFONT, 0, 0) == SendMessageA(dialog, WM_GETFONT, 0, 0);
        HFONT font = ownFont ? reinterpret_cast<HFONT>(SendMessageA(copy, WM_GETFONT, 0, 0)) : bold;
        if (!Holds(client, places[i])) faults.push_back(Placed(controls[i], places[i]) + " reaches outside");
        if (!TextFits(controls[i], places[i], font)) faults.push_back(Placed(controls[i], places[i]) + " cuts its text");
        for (size_t j = 0; j < i; ++j) {
            RECT common;
            auto groupHolds = [&](size_t outer, size_t inner) {
                return ClassName(controls[outer]) == "Button" && Holds(places[outer], places[inner]) &&
                       (GetWindowLongA(controls[outer], GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
            };
            if (IntersectRect(&common, &places[i], &places[j]) && !groupHolds(i, j) && !groupHolds(j, i)) {
                faults.push_back(Placed(controls[j], places[j]) + " overlaps " + Placed(controls[i], places[i]));
            }
        }
    }
    DeleteObject(bold);
    DestroyWindow(copy);
    FreeLibrary(source);
    for (std::string& fault : faults) fault = name + (": " + fault);
    return faults;
}

TEST(DialogLayout, EveryControlFitsItsDialog) {
    const char* dpi = std::getenv("KELVON_DPI");
    const char* catalog = std::getenv("KELVON_CATALOG");
    HDC screen = GetDC(nullptr);
    ASSERT_EQ(dpi ? std::atoi(dpi) : 96, GetDeviceCaps(screen, LOGPIXELSY)) << "LogPixels is not in effect";
    ReleaseDC(nullptr, screen);
    LoadLibraryA("riched32.dll");
    HostedDialog host("kelvon_dialog_layout");
    const std::string module = host.Folder().PathOf("dialog_host.exe");
    if (catalog) {
        ASSERT_TRUE(CopyFileA((TestProgramFolder() + catalog).c_str(), host.Folder().PathOf("uninstall.lng").c_str(), 0));
    }
    host.Start("", nullptr);
    HWND setup = host.FirstWindow();
    ASSERT_NE(nullptr, setup);
    EXPECT_EQ(catalog == nullptr, WindowText(setup) == Gbk(kSetupTitle)) << "the catalog is not in effect";
    std::vector<std::string> faults = LayoutFaults(setup, IDD_SETUP, module);
    // The context items dialog comes to the top of the host's windows.
    PressButton(setup, IDC_CONTEXT_ITEMS);
    HWND items = setup;
    for (int tries = 0; tries < 150 && items == setup; ++tries, Sleep(100)) items = host.FirstWindow();
    ASSERT_NE(setup, items);
    for (const std::string& fault : LayoutFaults(items, IDD_CONTEXT_ITEMS, module)) faults.push_back(fault);
    host.Start(IDD_DONE, nullptr);
    HWND done = host.FirstWindow();
    ASSERT_NE(nullptr, done);
    for (const std::string& fault : LayoutFaults(done, IDD_DONE, module)) faults.push_back(fault);
    SavePicture(done, (std::string("layout_done_") + (catalog ? "catalog_" : "own_") + (dpi ? dpi : "96")).c_str());
    EXPECT_EQ(std::vector<std::string>{}, faults);
}

}  // namespace
