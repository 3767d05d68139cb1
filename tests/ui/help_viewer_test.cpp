// The help the dialogs open, observed through a stand-in for the HTML Help
// control in the system folder (with Wine told to prefer it), while another
// copy lies beside the program, where it must never be taken from.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "hosted_dialog.h"
#include "integration/class_registry.h"
#include "resources/resource_ids.h"
#include "support/dialog_driver.h"

namespace {

std::string Hex(HWND window) {
    char text[16];
    std::snprintf(text, sizeof(text), "%08lx", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    return text;
}

class Help : public ::testing::Test {
protected:
    void SetUp() override {
        if (GetACP() != 936) GTEST_SKIP() << "code page is " << GetACP() << ", not 936 (locale missing?)";
        char folder[MAX_PATH];
        GetSystemDirectoryA(folder, sizeof(folder));
        control_ = std::string(folder) + "\\hhctrl.ocx";
        // The prefix's copy is shared with its pristine original by a hard link.
        DeleteFileA(control_.c_str());
        const std::string recorder = TestProgramsFolder() + "hhctrl.ocx";
        ASSERT_TRUE(CopyFileA(recorder.c_str(), control_.c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(recorder.c_str(), host_.Folder().PathOf("hhctrl.ocx").c_str(), FALSE));
        PutString(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", "hhctrl.ocx", "native,builtin");
        SetEnvironmentVariableA("KELVON_HELP_LOG", host_.Folder().PathOf("help.log").c_str());
    }

    // The recorded calls, each as "<owner>|<target>|<command>"; "load" and
    // "unload" stand for the control's arrival and departure. Every line
    // must come from the system folder's copy.
    std::vector<std::string> Recorded() {
        std::vector<std::string> calls;
        std::ifstream log(host_.Folder().PathOf("help.log"));
        for (std::string line; std::getline(log, line);) {
            EXPECT_EQ(0u, line.rfind(control_ + "|", 0)) << line;
            std::string event = line.substr(line.find('|') + 1);
            calls.push_back(event == "attach" ? "load" : event.rfind("HtmlHelpA|", 0) == 0 ? event.substr(10) : event);
        }
        return calls;
    }
    // Waits until `count` events were recorded.
    void WaitForCalls(size_t count) {
        for (int i = 0; i < 100 && Recorded().size() < count; ++i) Sleep(100);
    }

    HostedDialog host_{"kelvon_help"};
    std::string control_;
};

TEST_F(Help, SettingsDialogsOpenTheirTopicsByF1AndHelpButton) {
    HWND dialog = host_.Start("", kSetupTitle);
    ASSERT_NE(nullptr, dialog);
    PressKey(dialog, VK_F1);
    WaitForCalls(2);
    PressButton(dialog, IDHELP);
    WaitForCalls(3);
    PressButton(dialog, IDC_CONTEXT_ITEMS);
    HWND items = host_.Window(kItemsTitle);
    ASSERT_NE(nullptr, items);
    PressKey(items, VK_F1);
    WaitForCalls(4);
    PressButton(items, IDHELP);
    WaitForCalls(5);
    PressKey(items, VK_ESCAPE);
    ASSERT_TRUE(WaitForWindowGone(items, 5000));
    PressKey(dialog, VK_ESCAPE);
    EXPECT_EQ(0u, host_.ExitCode());
    const std::string chm = host_.Folder().PathOf("kelvon.chm");
    const std::string settings = Hex(dialog) + "|" + chm + "::/html/HELPIntegrationSettings.htm|0";
    const std::string itemsTopic = Hex(items) + "|" + chm + "::/html/HELPContextItems.htm|0";
    const std::vector<std::string> expected = {"load",     settings, settings, itemsTopic,
                                               itemsTopic, "00000000|(null)|18", "unload"};
    EXPECT_EQ(expected, Recorded());
}

// The table of contents twice: the control is loaded once, so the exit's one
// FreeLibrary unloads it. F1 has no topic to open here.
TEST_F(Help, CompletionDialogLoadsTheControlOnce) {
    HWND dialog = host_.Start("DONEDLG", kSetupTitle);
    ASSERT_NE(nullptr, dialog);
    PressKey(dialog, VK_F1);
    Click(dialog, IDC_READ_HELP);
    Click(dialog, IDC_READ_HELP);
    PressButton(dialog, IDOK);
    EXPECT_EQ(1u, host_.ExitCode());
    const std::string contents = Hex(dialog) + "|" + host_.Folder().PathOf("kelvon.chm") + "|1";
    const std::vector<std::string> expected = {"load", contents, contents, "00000000|(null)|18", "unload"};
    EXPECT_EQ(expected, Recorded());
}

}  // namespace
