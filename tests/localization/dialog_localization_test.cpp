// Dialogs translated, rescaled and mirrored by the catalog and the language
// library beside the program, measured from outside.
#include <gtest/gtest.h>

#include "localization/catalog.h"
#include "resources/resource_ids.h"
#include "support/catalog_text.h"
#include "support/dialog_driver.h"
#include "ui/hosted_dialog.h"

namespace {

struct Measured {
    RECT window;
    RECT client;
    std::vector<RECT> children;  // screen coordinates
    std::vector<RECT> placed;    // in the dialog's client area
    std::vector<std::string> texts;
    bool mirrored;
};

Measured Measure(HWND dialog) {
    Measured m;
    GetWindowRect(dialog, &m.window);
    GetClientRect(dialog, &m.client);
    for (HWND child : ChildWindows(dialog)) {
        RECT r;
        GetWindowRect(child, &r);
        m.children.push_back(r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        m.placed.push_back(r);
        m.texts.push_back(ControlText(child));
    }
    m.mirrored = (GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
    return m;
}

std::string SetupEntry(const char* text, const std::string& value) {
    return CatalogEntry(kDialogText, IDD_SETUP, text, value);
}

class DialogLocalization : public ::testing::Test {
protected:
    void SetUp() override {
        if (GetACP() != 936) GTEST_SKIP() << "code page is " << GetACP() << ", not 936 (locale missing?)";
    }
    // SETUPDLG with this catalog beside the host, measured and left with Esc.
    Measured ShowSetup(const std::string& catalog, const char* title = kSetupTitle) {
        DeleteFileA(host_.Folder().PathOf("uninstall.lng").c_str());
        if (!catalog.empty()) WriteBytes(host_.Folder().PathOf("uninstall.lng"), kCatalogMarkerLine + catalog);
        HWND dialog = host_.Start("", title);
        if (!dialog) return {};
        Measured measured = Measure(dialog);
        PressKey(dialog, VK_ESCAPE);
        EXPECT_EQ(0u, host_.ExitCode());
        return measured;
    }
    HostedDialog host_{"kelvon_dialog_localization"};
};

// Texts follow the catalog; at 150*100 the client area grows to 150 percent
// plus one pixel each way, and every child follows the arithmetic from its
// place before. Empty texts stay empty, though their key is the scale's.
TEST_F(DialogLocalization, CatalogTranslatesAndScales) {
    Measured before = ShowSetup("");
    ASSERT_FALSE(before.children.empty());
    EXPECT_FALSE(before.mirrored);
    Measured after = ShowSetup(SetupEntry(Gbk("确定").c_str(), "Confirm") + SetupEntry("", "150*100"));
    ASSERT_EQ(before.children.size(), after.children.size());
    EXPECT_EQ(before.client.right * 150 / 100 + 1, after.client.right);
    EXPECT_EQ(before.client.bottom + 1, after.client.bottom);
    const RECT& wr = before.window;
    int dx = (wr.right - wr.left) - before.client.right + 1;
    int dy = (wr.bottom - wr.top) - before.client.bottom + 1;
    int frame = GetSystemMetrics(SM_CYDLGFRAME);
    for (size_t i = 0; i < before.children.size(); ++i) {
        SCOPED_TRACE("child " + std::to_string(i) + " " + before.texts[i]);
        EXPECT_EQ(before.texts[i] == Gbk("确定") ? "Confirm" : before.texts[i], after.texts[i]);
        const RECT& r = before.children[i];
        const RECT& placed = after.placed[i];
        EXPECT_EQ((r.left - dx / 2 - wr.left) * 150 / 100, placed.left);
        EXPECT_EQ(r.top - wr.top - (dy - frame), placed.top);
        EXPECT_EQ((r.right - r.left + 1) * 150 / 100, placed.right - placed.left);
        EXPECT_EQ(r.bottom - r.top + 1, placed.bottom - placed.top);
    }
}

// The direction entry of the catalog mirrors the dialog.
TEST_F(DialogLocalization, CatalogAsksForRightToLeft) {
    EXPECT_TRUE(ShowSetup(CatalogEntry(kDialogText, "LTR", "LTR", "RTL")).mirrored);
}

// Mirrored and scaled, the dialog is the mirror image of the one laid out left
// to right: there SetWindowPos counts x from the client area's right edge.
TEST_F(DialogLocalization, ScaledRightToLeftIsTheMirrorImage) {
    const std::string scale = SetupEntry("", "130*100");
    Measured ltr = ShowSetup(scale);
    Measured rtl = ShowSetup(scale + CatalogEntry(kDialogText, "LTR", "LTR", "RTL"));
    ASSERT_TRUE(rtl.mirrored);
    ASSERT_FALSE(ltr.children.empty());
    ASSERT_EQ(ltr.children.size(), rtl.children.size());
    for (size_t i = 0; i < ltr.children.size(); ++i) {
        SCOPED_TRACE("child " + std::to_string(i) + " " + ltr.texts[i]);
        const RECT& left = ltr.children[i];
        const RECT& right = rtl.children[i];
        EXPECT_EQ(left.left - ltr.window.left, rtl.window.right - right.right);
        EXPECT_EQ(left.right - left.left, right.right - right.left);
    }
}

// The library's own SETUPDLG replaces the program's; its empty caption stays
// empty with a scale entry. The library lacks SETUPCONTEXTITEMS, which then
// comes from the program. The library's "RTL" resource mirrors both.
TEST_F(DialogLocalization, LanguageLibraryTemplateAndFallback) {
    const std::string library = TestProgramFolder() + "language_library\\voklng.dll";
    ASSERT_TRUE(CopyFileA(library.c_str(), host_.Folder().PathOf("voklng.dll").c_str(), FALSE));
    WriteBytes(host_.Folder().PathOf("uninstall.lng"), kCatalogMarkerLine + SetupEntry("", "120*110"));
    HWND dialog = host_.Start("", "");
    ASSERT_NE(nullptr, dialog);
    Measured shown = Measure(dialog);
    EXPECT_EQ(std::vector<std::string>({"Library OK", "Library items"}), shown.texts);
    EXPECT_TRUE(shown.mirrored);
    PressButton(dialog, IDC_CONTEXT_ITEMS);
    HWND items = host_.Window(kItemsTitle);
    ASSERT_NE(nullptr, items);
    EXPECT_EQ(19u, ChildWindows(items).size());
    EXPECT_TRUE(Measure(items).mirrored);
    PressKey(items, VK_ESCAPE);
    ASSERT_TRUE(WaitForWindowGone(items, 20000));
    PressKey(dialog, VK_ESCAPE);
    EXPECT_EQ(0u, host_.ExitCode());
}

}  // namespace
