// DONEDLG as the setup shows it at its end, driven from outside.
#include <gtest/gtest.h>

#include "hosted_dialog.h"
#include "resources/resource_ids.h"
#include "support/dialog_driver.h"

namespace {

std::vector<TemplateControl> DoneControls(const std::string& folder) {
    return {
        {1, "Button", "完成", 140, 209, 50, 14},
        {-1, "Static", "Kelvon 已经成功地安装到文件夹", 17, 14, 122, 8},
        {5101, "Static", folder, 142, 14, 172, 8},
        {-1, "Static", "使用 Kelvon “选项”菜单中的“设置...”命令可以定制更多的选项。", 17, 33, 297, 16},
        {-1, "Static", "如果这是你第一次安装 Kelvon, 请不要忘记阅读在线帮助。", 17, 53, 297, 16},
        {5108, "Static", "", 17, 74, 297, 22},
        {5109, "Static", "", 17, 101, 297, 16},
        {-1, "Button", "", 8, 2, 314, 125},
        {5102, "Button", "运行 Kelvon(&R)", 11, 134, 70, 14},
        {5103, "Button", "阅读帮助(&H)", 84, 134, 60, 14},
        {5104, "Button", "查看许可(&L)", 146, 134, 60, 14},
        {5105, "Button", "定购(&P)", 208, 134, 60, 14},
        {5106, "Button", "主页(&M)", 269, 134, 50, 14},
        {-1, "Button", "", 8, 152, 314, 50},
        {5107, "Static", "感谢使用 Kelvon 简体中文版!", 17, 173, 297, 8},
    };
}

bool AppearsWithin(const std::string& path, DWORD milliseconds) {
    for (DWORD waited = 0; waited < milliseconds; waited += 100) {
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
        Sleep(100);
    }
    return false;
}

class DoneDialog : public ::testing::Test {
protected:
    void SetUp() override {
        if (GetACP() != 936) GTEST_SKIP() << "code page is " << GetACP() << ", not 936 (locale missing?)";
    }
    HostedDialog host_{"kelvon_done_dialog"};
    // The current directory of the host, which the installer may leave anywhere.
    ScratchFolder elsewhere_{"kelvon_done_elsewhere"};
};

// The folder shown, and the archiver started, are the program's own, not
// the current directory's. The help button shows the contents twice with
// the control loaded once: the one FreeLibrary at the end unloads it. F1 has
// no topic to open here.
TEST_F(DoneDialog, ShowsAndStartsFromTheProgramFolder) {
    const std::string standIn = TestProgramsFolder() + "archiver_stand_in.exe";
    for (const std::string& folder : {host_.Folder().Path(), elsewhere_.Path()}) {
        ASSERT_TRUE(CopyFileA(standIn.c_str(), (folder + "Kelvon.exe").c_str(), FALSE));
    }
    HWND dialog = host_.Start("DONEDLG", kSetupTitle, elsewhere_.Path());
    ASSERT_NE(nullptr, dialog);
    std::string programFolder = host_.Folder().Path();
    programFolder.pop_back();
    ExpectTemplate(dialog, kSetupTitle, 331, 228, DoneControls(programFolder));
    const LONG style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT;
    EXPECT_EQ(style, GetWindowLongA(dialog, GWL_STYLE) & style);
    SavePicture(dialog, "donedlg");
    Click(dialog, IDC_RUN_ARCHIVER);
    EXPECT_TRUE(AppearsWithin(host_.Folder().PathOf("Kelvon.exe.started"), 20000));
    EXPECT_FALSE(AppearsWithin(elsewhere_.PathOf("Kelvon.exe.started"), 0));
    EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
    PressKey(dialog, VK_F1);
    Click(dialog, IDC_READ_HELP);
    Click(dialog, IDC_READ_HELP);
    PressButton(dialog, IDOK);
    EXPECT_EQ(1u, host_.ExitCode());
    const std::string contents = Hex(dialog) + "|" + host_.Folder().PathOf("Kelvon.chm") + "|1";
    const std::vector<std::string> calls = {"load", contents, contents, "00000000|(null)|18", "unload"};
    EXPECT_EQ(calls, host_.HelpCalls());
}

TEST_F(DoneDialog, EveryWayOutEndsWithOne) {
    const struct {
        const char* what;
        const char* arguments;
        void (*leave)(HWND dialog);
    } cases[] = {
        {"Finish", "DONEDLG", [](HWND dialog) { PressButton(dialog, IDOK); }},
        {"Esc", "DONEDLG", [](HWND dialog) { PressKey(dialog, VK_ESCAPE); }},
        {"close box", "DONEDLG", [](HWND dialog) { PressCloseBox(dialog); }},
        {"silent", "DONEDLG /s", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.leave) {
            HWND dialog = host_.Start(c.arguments, kSetupTitle);
            ASSERT_NE(nullptr, dialog);
            c.leave(dialog);
        } else {
            host_.Start(c.arguments, nullptr);
        }
        EXPECT_EQ(1u, host_.ExitCode());
    }
}

}  // namespace
