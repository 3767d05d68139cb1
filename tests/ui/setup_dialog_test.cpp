// SETUPDLG and SETUPCONTEXTITEMS as the setup shows them, driven from outside.
#include <gtest/gtest.h>

#include "hosted_dialog.h"
#include "integration/class_registry.h"
#include "resources/resource_ids.h"
#include "support/dialog_driver.h"
#include "support/registry_lock.h"

namespace {

const char kProductKey[] = "Software\\Kelvon";
const char kMenuItemsKey[] = "Software\\Kelvon\\Setup\\MenuItems";
const char kAppPathKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Kelvon.exe";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvon archiver";
const char* const kMenuItemNames[] = {"ExtrTo",   "ExtrHere", "Extr",     "ExtrSep",    "OpenSFX",
                                      "AddTo",    "AddArc",   "EmailArc", "EmailOpt",   "Test",
                                      "Convert",  "SFXLocal", "SFXNetwork", "SFXOther"};

std::string Explanation() {
    return "    这些选项控制 Kelvon 集成到 Windows 中。 第一组选项允许选择可以 Kelvon 关联的文件类型。 "
           "第二组让你选择 Kelvon 可执行文件链接的位置。 最后一组选项可以调节 Kelvon 集成到 Windows "
           "资源管理器中的属性。 外壳整合提供方便的功能,像文件右键菜单的“解压”项目,所以通常没有禁止它的必要。"
           "\r\n    点击“帮助”按钮可以阅读关于这些选项的更多详细描述。";
}

const std::vector<TemplateControl> kSetupControls = {
    {-1, "Button", "Kelvon 关联文件", 7, 5, 127, 132},
    {5101, "Button", "VOK(&V)", 16, 21, 37, 10},
    {5102, "Button", "ZIP(&Z)", 16, 33, 37, 10},
    {5103, "Button", "CAB", 16, 45, 37, 10},
    {5104, "Button", "ARJ", 16, 57, 37, 10},
    {5105, "Button", "LZH", 16, 69, 37, 10},
    {5106, "Button", "ACE", 16, 81, 37, 10},
    {5107, "Button", "7-Zip", 16, 93, 37, 10},
    {5108, "Button", "TAR", 80, 21, 37, 10},
    {5109, "Button", "GZip", 80, 33, 37, 10},
    {5110, "Button", "UUE", 80, 45, 37, 10},
    {5111, "Button", "BZ2", 80, 57, 37, 10},
    {5112, "Button", "JAR", 80, 69, 37, 10},
    {5113, "Button", "ISO", 80, 81, 37, 10},
    {5114, "Button", "Z", 80, 93, 37, 10},
    {-1, "Static", "", 8, 114, 124, 1},
    {5121, "Button", "全部选择(&A)", 16, 119, 108, 14},
    {-1, "Button", "界面", 140, 5, 184, 57},
    {5115, "Button", "在桌面创建 Kelvon 快捷方式(&D)", 148, 19, 170, 10},
    {5116, "Button", "在开始菜单创建 Kelvon 快捷方式(&S)", 148, 31, 170, 10},
    {5117, "Button", "创建 Kelvon 程序组(&P)", 148, 43, 170, 10},
    {5118, "Button", "把 Kelvon 整合到资源管理器中(&I)", 148, 78, 170, 10},
    {-1, "Button", "外壳整合设置", 140, 65, 184, 72},
    {5119, "Button", "层叠右键关联菜单(&T)", 148, 90, 170, 10},
    {5120, "Button", "在右键关联菜单中显示图标(&N)", 148, 102, 170, 10},
    {5123, "Button", "选择关联菜单项目(&C)...", 148, 119, 140, 14},
    {-1, "Button", "", 7, 139, 317, 68},
    {5122, "RICHEDIT", Explanation(), 12, 147, 306, 55},
    {1, "Button", "确定", 111, 214, 50, 14},
    {9, "Button", "帮助", 169, 214, 50, 14},
};

const std::vector<TemplateControl> kItemsControls = {
    {-1, "Button", "选择显示在资源管理器右键菜单中的项目", 7, 7, 229, 154},
    {101, "Button", "解压文件(&A)...", 16, 21, 210, 10},
    {102, "Button", "解压到当前文件夹(&X)", 16, 33, 210, 10},
    {103, "Button", "解压到<文件夹\\>(&E)", 16, 45, 210, 10},
    {104, "Button", "解压每个压缩文件到单独的文件夹(&S)", 16, 57, 210, 10},
    {105, "Button", "用 Kelvon 打开(用于自解压文件)", 16, 69, 210, 10},
    {106, "Button", "添加到压缩文件中(&A)...", 16, 81, 210, 10},
    {107, "Button", "添加到<压缩文件名>(&T)", 16, 93, 210, 10},
    {108, "Button", "压缩到<压缩文件名>并 E-mail", 16, 105, 210, 10},
    {109, "Button", "压缩并 E-mail...", 16, 117, 210, 10},
    {110, "Button", "测试压缩文件(&R)", 16, 129, 210, 10},
    {111, "Button", "转换压缩文件格式(&V)...", 16, 141, 210, 10},
    {-1, "Button", "在哪里检测自解压压缩文件", 245, 7, 180, 56},
    {112, "Button", "本地磁盘(&L)", 254, 19, 125, 10},
    {113, "Button", "网络磁盘(&N)", 254, 31, 125, 10},
    {114, "Button", "其它磁盘(&O)", 254, 43, 125, 10},
    {1, "Button", "确定", 130, 168, 50, 14},
    {2, "Button", "取消", 192, 168, 50, 14},
    {9, "Button", "帮助", 253, 168, 50, 14},
};

class SetupDialog : public ::testing::Test {
protected:
    void SetUp() override {
        if (GetACP() != 936) GTEST_SKIP() << "code page is " << GetACP() << ", not 936 (locale missing?)";
        // Another program's .jar or .iso would start its group unchecked.
        DeleteKeyTree(HKEY_CLASSES_ROOT, ".jar");
        DeleteKeyTree(HKEY_CLASSES_ROOT, ".iso");
        DeleteKeyTree(HKEY_CURRENT_USER, kProductKey);
    }
    void TearDown() override { DeleteKeyTree(HKEY_CURRENT_USER, kProductKey); }

    // Setup's machine-wide entries, whose presence tells what OK did.
    void RemoveMachineEntries() {
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kAppPathKey);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    }

    HostedDialog host_{"kelvon_setup_dialog"};
};

// Both templates read back; F1 and the Help button open each dialog's own
// topic, with the dialog as owner; the help closes at the end.
TEST_F(SetupDialog, TemplatesAndHelpOfBothDialogs) {
    HWND dialog = host_.Start("", kSetupTitle);
    ASSERT_NE(nullptr, dialog);
    ExpectTemplate(dialog, kSetupTitle, 331, 233, kSetupControls);
    const LONG style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT;
    EXPECT_EQ(style, GetWindowLongA(dialog, GWL_STYLE) & style);
    EXPECT_NE(0, GetWindowLongA(GetDlgItem(dialog, IDC_EXPLANATION), GWL_STYLE) & ES_READONLY);
    SavePicture(dialog, "setupdlg");
    PressKey(dialog, VK_F1);
    host_.WaitForHelpCalls(2);
    PressButton(dialog, IDHELP);
    host_.WaitForHelpCalls(3);

    PressButton(dialog, IDC_CONTEXT_ITEMS);
    HWND items = host_.Window(kItemsTitle);
    ASSERT_NE(nullptr, items);
    ExpectTemplate(items, kItemsTitle, 433, 188, kItemsControls);
    EXPECT_EQ(style & ~DS_CENTER, GetWindowLongA(items, GWL_STYLE) & style);
    EXPECT_EQ(dialog, GetWindow(items, GW_OWNER));
    SavePicture(items, "setupcontextitems");
    PressKey(items, VK_F1);
    host_.WaitForHelpCalls(4);
    PressButton(items, IDHELP);
    host_.WaitForHelpCalls(5);
    PressKey(items, VK_ESCAPE);
    EXPECT_TRUE(WaitForWindowGone(items, 20000));
    PressKey(dialog, VK_ESCAPE);
    EXPECT_EQ(0u, host_.ExitCode());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProductKey));
    const std::string help = host_.Folder().PathOf("Kelvon.chm::/html/");
    const std::string settings = Hex(dialog) + "|" + help + "HELPIntegrationSettings.htm|0";
    const std::string itemsTopic = Hex(items) + "|" + help + "HELPContextItems.htm|0";
    const std::vector<std::string> calls = {"load", settings, settings, itemsTopic, itemsTopic, "00000000|(null)|18",
                                            "unload"};
    EXPECT_EQ(calls, host_.HelpCalls());
}

// The marks come from the stored choices; the shell integration box enables
// the menu options keeping their marks; Select all checks the groups only;
// Esc and the close box store nothing.
TEST_F(SetupDialog, CheckMarksAndTheirButtons) {
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> stored;  // key below Setup, value name: 1 or 0
        const char* groups;
        const char* options;
        bool close;  // the close box rather than Esc
    } cases[] = {
        {"defaults", {}, "11111111111111", "001101", false},
        {"stored",
         {{"Setup\\.zip|Set", "0"}, {"Setup\\.iso|Set", "0"}, {"Setup\\Links|Desktop", "1"},
          {"Setup|ShellExt", "0"}, {"Setup|CascadedMenu", "1"}, {"Setup|MenuIcons", "0"}},
         "10111111111101", "101010", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteKeyTree(HKEY_CURRENT_USER, kProductKey);
        for (const auto& [where, value] : c.stored) {
            size_t bar = where.find('|');
            PutDword(HKEY_CURRENT_USER, std::string(kProductKey) + "\\" + where.substr(0, bar), where.substr(bar + 1),
                     value == "1");
        }
        RegistrySnapshot before = TakeSnapshot(HKEY_CURRENT_USER, {kProductKey});
        HWND dialog = host_.Start("", kSetupTitle);
        ASSERT_NE(nullptr, dialog);
        std::string options = c.options;
        bool shell = options[3] == '1';
        EXPECT_EQ(c.groups, CheckMarks(dialog, IDC_GROUP_VOK, IDC_GROUP_Z));
        EXPECT_EQ(options, CheckMarks(dialog, IDC_DESKTOP_LINK, IDC_MENU_ICONS));
        for (int round = 0; round < 2; ++round) {
            EXPECT_EQ(shell, IsWindowEnabled(GetDlgItem(dialog, IDC_CASCADED_MENU)) != 0);
            EXPECT_EQ(shell, IsWindowEnabled(GetDlgItem(dialog, IDC_MENU_ICONS)) != 0);
            Click(dialog, IDC_SHELL_INTEGRATION);
            shell = !shell;
            options[3] = shell ? '1' : '0';
            EXPECT_EQ(options, CheckMarks(dialog, IDC_DESKTOP_LINK, IDC_MENU_ICONS));
        }
        Click(dialog, IDC_SELECT_ALL);
        EXPECT_EQ("11111111111111", CheckMarks(dialog, IDC_GROUP_VOK, IDC_GROUP_Z));
        EXPECT_EQ(c.options, CheckMarks(dialog, IDC_DESKTOP_LINK, IDC_MENU_ICONS));
        c.close ? PressCloseBox(dialog) : PressKey(dialog, VK_ESCAPE);
        EXPECT_EQ(0u, host_.ExitCode());
        EXPECT_EQ(before, TakeSnapshot(HKEY_CURRENT_USER, {kProductKey}));
    }
}

// Cancel writes nothing; OK writes all fourteen items, which stay stored
// even when the settings dialog is left with Esc.
TEST_F(SetupDialog, ContextItemsOkWritesAllCancelNone) {
    HWND dialog = host_.Start("", kSetupTitle);
    ASSERT_NE(nullptr, dialog);
    const struct {
        int button;
        const char* shown;
        std::vector<int> clicks;
        const char* stored;  // null: nothing
    } rounds[] = {
        {IDCANCEL, "11111111100111", {101}, nullptr},
        {IDOK, "11111111100111", {101, 110, 114}, "01111111110110"},
        {IDOK, "01111111110110", {}, "01111111110110"},
    };
    for (const auto& round : rounds) {
        PressButton(dialog, IDC_CONTEXT_ITEMS);
        HWND items = host_.Window(kItemsTitle);
        ASSERT_NE(nullptr, items);
        EXPECT_EQ(round.shown, CheckMarks(items, IDC_ITEM_EXTRACT_FILES, IDC_ITEM_SFX_OTHER));
        for (int id : round.clicks) Click(items, id);
        ASSERT_TRUE(CloseWithButton(items, round.button, 20000));
        RegistrySnapshot stored = TakeSnapshot(HKEY_CURRENT_USER, {kMenuItemsKey});
        if (!round.stored) {
            EXPECT_TRUE(stored.empty());
            continue;
        }
        EXPECT_EQ(15u, stored.size());  // the key and its fourteen values
        for (int i = 0; i < 14; ++i) {
            EXPECT_EQ(DWORD(round.stored[i] - '0'), GetDword(HKEY_CURRENT_USER, kMenuItemsKey, kMenuItemNames[i]))
                << kMenuItemNames[i];
        }
    }
    PressKey(dialog, VK_ESCAPE);
    EXPECT_EQ(0u, host_.ExitCode());
    EXPECT_EQ(15u, TakeSnapshot(HKEY_CURRENT_USER, {kMenuItemsKey}).size());
}

// OK, pressed or pressed by the dialog itself when silent, stores what the
// boxes show, applies it and, unless for a Windows Installer package,
// registers the uninstall entry.
TEST_F(SetupDialog, OkStoresAndApplies) {
    const struct {
        const char* arguments;
        bool silent;
        bool msi;
    } cases[] = {{"", false, false}, {"/msi", false, true}, {"/s", true, false}, {"/s /msi", true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        DeleteKeyTree(HKEY_CURRENT_USER, kProductKey);
        RemoveMachineEntries();
        HWND dialog = host_.Start(c.arguments, c.silent ? nullptr : kSetupTitle);
        if (!c.silent) {
            ASSERT_NE(nullptr, dialog);
            Click(dialog, IDC_GROUP_ZIP);
            Click(dialog, IDC_DESKTOP_LINK);
            PressButton(dialog, IDOK);
        }
        EXPECT_EQ(1u, host_.ExitCode());
        const std::string setup = std::string(kProductKey) + "\\Setup";
        EXPECT_EQ(c.silent ? 1u : 0u, GetDword(HKEY_CURRENT_USER, setup + "\\.zip", "Set"));
        EXPECT_EQ(c.silent ? 0u : 1u, GetDword(HKEY_CURRENT_USER, setup + "\\Links", "Desktop"));
        EXPECT_EQ(1u, GetDword(HKEY_CURRENT_USER, setup + "\\.vok", "Set"));
        EXPECT_EQ(host_.Folder().PathOf("Kelvon.exe"), GetString(HKEY_LOCAL_MACHINE, kAppPathKey, ""));
        EXPECT_EQ(!c.msi, KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    }
}

// A setup that may not write machine-wide says so, also when silent,
// registers no uninstall entry and ends with 0.
TEST_F(SetupDialog, WithoutAdministratorRightsSaysSo) {
    for (const char* arguments : {"", "/s"}) {
        SCOPED_TRACE(arguments);
        RemoveMachineEntries();
        {
            RegistryKeyLock lock(HKEY_LOCAL_MACHINE, kAppPathKey);
            ASSERT_TRUE(lock.Locked());
            HWND dialog = host_.Start(arguments, *arguments ? nullptr : kSetupTitle);
            if (dialog) PressButton(dialog, IDOK);
            HWND box = host_.Window("Kelvon 压缩文件管理器");
            ASSERT_NE(nullptr, box);
            EXPECT_EQ(Gbk("安装 Kelvon 需要管理员权限。请以管理员身份重新运行安装程序。"), MessageBoxText(box));
            PressButton(box, IDOK);
            EXPECT_EQ(0u, host_.ExitCode());
        }
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    }
    RemoveMachineEntries();
}

}  // namespace
