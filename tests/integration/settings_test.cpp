// The stored choices under "Software\Kelvon" and their check boxes in a real
// dialog.
#include "integration/settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "class_registry.h"

namespace {

const HKEY kUser = HKEY_CURRENT_USER;
const char kProductKey[] = "Software\\Kelvon";
constexpr unsigned char kSentinel = 0xbd;
constexpr int kTestDialog = 100;  // settings_test.rc

void CleanSettings() {
    DeleteKeyTree(kUser, kProductKey);
    DeleteKeyTree(HKEY_CLASSES_ROOT, ".jar");
    DeleteKeyTree(HKEY_CLASSES_ROOT, ".iso");
    DeleteKeyTree(HKEY_CLASSES_ROOT, ".zip");
}

IntegrationSettings Sentinels() {
    IntegrationSettings settings;
    std::memset(&settings, kSentinel, sizeof(settings));
    return settings;
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override { CleanSettings(); }
    void TearDown() override { CleanSettings(); }
};

TEST_F(Settings, DefaultsWhenNothingIsStored) {
    IntegrationSettings settings = Sentinels();
    LoadSettings(settings);
    const unsigned char expected[kSettingCount] = {
        1,         1,         1,         1,         1,         1,         1, 1, 1, 1, 1, 1, 1, 1,
        kSentinel, kSentinel, kSentinel, kSentinel, kSentinel, kSentinel,  // not used, not touched
        0,         0,         1,         1,         0,         1,
    };
    for (int i = 0; i < kSettingCount; ++i) EXPECT_EQ(expected[i], settings.flag[i]) << "flag " << i;
}

TEST_F(Settings, StoredValuesCountAsOnWhenNotZero) {
    const struct {
        const char* key;
        const char* name;
        DWORD stored;
        int flag;
        unsigned char expected;
    } cases[] = {
        {"Setup\\.vok", "Set", 2, 0, 1},          {"Setup\\.vok", "Set", 0, 0, 0},
        {"Setup\\.lzh", "Set", 0, 4, 0},          {"Setup\\.gz", "Set", 0, 8, 0},
        {"Setup\\.tgz", "Set", 0, 8, 1},  // not a group's key
        {"Setup\\.z", "Set", 0, 13, 0},           {"Setup\\Links", "Desktop", 1, DesktopLink, 1},
        {"Setup\\Links", "StartMenu", 7, StartMenuLink, 1},
        {"Setup\\Links", "Programs", 0, ProgramGroupLinks, 0},
        {"Setup", "ShellExt", 0, ShellIntegration, 0},
        {"Setup", "CascadedMenu", 1, CascadedMenu, 1},
        {"Setup", "MenuIcons", 0, MenuIcons, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + c.name + "=" + std::to_string(c.stored));
        CleanSettings();
        PutDword(kUser, std::string(kProductKey) + "\\" + c.key, c.name, c.stored);
        IntegrationSettings settings = Sentinels();
        LoadSettings(settings);
        EXPECT_EQ(c.expected, settings.flag[c.flag]);
    }
}

TEST_F(Settings, JarAndIsoOwnedByAnotherProgramStartOff) {
    const struct {
        const char* extension;
        int group;
        const char* type;  // null: no key
        DWORD set;
        unsigned char expected;
    } cases[] = {
        {".jar", 11, "jarfile", 1, 0},   {".jar", 11, "Kelvon", 1, 1},    {".jar", 11, "kelvon.zip", 0, 0},
        {".jar", 11, "", 1, 1},          {".jar", 11, nullptr, 1, 1},     {".iso", 12, "Windows.IsoFile", 1, 0},
        {".iso", 12, nullptr, 0, 0},     {".zip", 1, "CompressedFolder", 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.extension) + " " + (c.type ? c.type : "(no key)"));
        CleanSettings();
        if (c.type) PutString(HKEY_CLASSES_ROOT, c.extension, "", c.type);
        PutDword(kUser, std::string(kProductKey) + "\\Setup\\" + c.extension, "Set", c.set);
        IntegrationSettings settings = Sentinels();
        LoadSettings(settings);
        EXPECT_EQ(c.expected, settings.flag[c.group]);
    }
}

TEST_F(Settings, SaveWritesExactlyTheStoredValues) {
    IntegrationSettings settings = Sentinels();
    const unsigned char flags[kSettingCount] = {1, 0, 1, 1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0,
                                                0, 1, 1, 0, 1, 1};
    for (int i = 0; i < kSettingCount; ++i) {
        if (i < 14 || i >= DesktopLink) settings.flag[i] = flags[i];
    }
    SaveSettings(settings);

    auto dword = [](DWORD value) { return "4:0" + std::to_string(value) + "000000"; };
    const char* groupKeys[] = {".vok", ".zip", ".cab", ".arj", ".lzh", ".ace", ".7z",
                               ".tar", ".gz",  ".uue", ".bz2", ".jar", ".iso", ".z"};
    std::string setup = std::string(kProductKey) + "\\Setup";
    RegistrySnapshot expected = {
        {kProductKey, ""},
        {setup, ""},
        {setup + "|ShellExt", dword(0)},
        {setup + "|CascadedMenu", dword(1)},
        {setup + "|MenuIcons", dword(1)},
        {setup + "\\Links", ""},
        {setup + "\\Links|Desktop", dword(0)},
        {setup + "\\Links|StartMenu", dword(1)},
        {setup + "\\Links|Programs", dword(1)},
    };
    for (int group = 0; group < 14; ++group) {
        expected[setup + "\\" + groupKeys[group]] = "";
        expected[setup + "\\" + groupKeys[group] + "|Set"] = dword(flags[group]);
    }
    EXPECT_EQ(expected, TakeSnapshot(kUser, {kProductKey}));

    IntegrationSettings loaded = Sentinels();
    LoadSettings(loaded);
    EXPECT_EQ(0, std::memcmp(&settings, &loaded, sizeof(settings)));
}

INT_PTR CALLBACK TestDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// The test dialog, modeless so that the test drives it directly.
class SettingsDialog : public Settings {
protected:
    void SetUp() override {
        Settings::SetUp();
        dialog_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kTestDialog), nullptr,
                                     TestDialogProc, 0);
        if (!dialog_) GTEST_SKIP() << "no dialog (no display?), error " << GetLastError();
    }
    void TearDown() override {
        if (dialog_) DestroyWindow(dialog_);
        Settings::TearDown();
    }
    HWND dialog_ = nullptr;
};

TEST_F(SettingsDialog, ShowAndReadBack) {
    for (int pattern = 0; pattern < 3; ++pattern) {
        SCOPED_TRACE("pattern " + std::to_string(pattern));
        IntegrationSettings shown = Sentinels();
        for (int i = 0; i < kSettingCount; ++i) {
            if (i < 14 || i >= DesktopLink) shown.flag[i] = pattern == 2 ? 1 : (i + pattern) % 2;
        }
        ShowSettingsInDialog(dialog_, shown);
        for (int i = 0; i < 14; ++i) EXPECT_EQ(shown.flag[i], IsDlgButtonChecked(dialog_, 5101 + i)) << i;
        for (int j = 0; j < 6; ++j) EXPECT_EQ(shown.flag[20 + j], IsDlgButtonChecked(dialog_, 5115 + j)) << j;
        bool shellIntegration = shown.flag[ShellIntegration] != 0;
        EXPECT_EQ(shellIntegration, IsWindowEnabled(GetDlgItem(dialog_, 5119)) != 0);
        EXPECT_EQ(shellIntegration, IsWindowEnabled(GetDlgItem(dialog_, 5120)) != 0);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog_, 5118)));

        // Disabled boxes are read like the others; 14-19 stay as they were.
        IntegrationSettings read = Sentinels();
        ReadSettingsFromDialog(dialog_, read);
        EXPECT_EQ(0, std::memcmp(&shown, &read, sizeof(shown)));
    }
}

TEST_F(SettingsDialog, ShellIntegrationOffKeepsTheMenuMarks) {
    IntegrationSettings settings = {};
    settings.flag[CascadedMenu] = 1;
    settings.flag[MenuIcons] = 1;
    ShowSettingsInDialog(dialog_, settings);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog_, 5119)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog_, 5120)));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog_, 5119));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog_, 5120));

    settings.flag[ShellIntegration] = 1;
    ShowSettingsInDialog(dialog_, settings);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog_, 5119)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog_, 5120)));
}

TEST_F(SettingsDialog, CheckAllGroupsTouchesOnlyTheGroups) {
    PutDword(kUser, std::string(kProductKey) + "\\Setup\\.zip", "Set", 0);
    RegistrySnapshot stored = TakeSnapshot(kUser, {kProductKey});
    for (unsigned char options : {0, 1}) {
        SCOPED_TRACE("options " + std::to_string(options));
        IntegrationSettings settings = {};
        for (int i = DesktopLink; i < kSettingCount; ++i) settings.flag[i] = options;
        ShowSettingsInDialog(dialog_, settings);
        CheckAllGroups(dialog_);
        for (int id = 5101; id <= 5114; ++id) EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog_, id)) << id;
        for (int id = 5115; id <= 5120; ++id) EXPECT_EQ(options, IsDlgButtonChecked(dialog_, id)) << id;
        EXPECT_EQ(options != 0, IsWindowEnabled(GetDlgItem(dialog_, 5119)) != 0);
    }
    EXPECT_EQ(stored, TakeSnapshot(kUser, {kProductKey}));
}

}  // namespace
