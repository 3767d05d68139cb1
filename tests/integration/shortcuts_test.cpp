// The shortcuts as a user finds them: .lnk files in the folders each Windows
// version uses (KELVON_EXPECT_VERSION), read back through the shell.
#include "integration/shortcuts.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "association_test_support.h"
#include "integration_test_support.h"
#include "localization/messages.h"
#include "platform/path_text.h"
#include "resources/resource_ids.h"
#include "support/process.h"
#include "support/scratch_folder.h"

namespace {

const std::string kVersion = std::getenv("KELVON_EXPECT_VERSION") ? std::getenv("KELVON_EXPECT_VERSION") : "";

// The desktop and Start menu link, and the programs folders of the groups
// (the one named to the caller last), as the version places them.
std::vector<std::string> Places() {
    if (kVersion == "win98") {
        return {SpecialFolder(CSIDL_DESKTOPDIRECTORY), SpecialFolder(CSIDL_STARTMENU), SpecialFolder(CSIDL_PROGRAMS)};
    }
    bool vista = kVersion == "win7";
    return {SpecialFolder(vista ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY),
            SpecialFolder(vista ? CSIDL_COMMON_STARTMENU : CSIDL_STARTMENU), SpecialFolder(CSIDL_PROGRAMS),
            SpecialFolder(CSIDL_COMMON_PROGRAMS)};
}

IntegrationSettings AllLinks() {
    IntegrationSettings settings = {};
    settings.flag[DesktopLink] = settings.flag[StartMenuLink] = settings.flag[ProgramGroupLinks] = 1;
    return settings;
}

class Shortcuts : public IntegrationTest {
protected:
    void TearDown() override {
        CreateShortcuts(IntegrationSettings{}, nullptr);
        IntegrationTest::TearDown();
    }
};

TEST_F(Shortcuts, LinksLandWhereTheWindowsVersionPutsThem) {
    ASSERT_FALSE(kVersion.empty()) << "KELVON_EXPECT_VERSION not set";
    // A per-user desktop link of an earlier setup goes where the link is
    // the all-users one.
    std::string oldLink = SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Kelvon.lnk";
    ASSERT_TRUE(WriteBytes(oldLink, "old"));
    std::set<std::string> before = ShortcutFolderListing();
    wchar_t group[kPathSize] = L"";
    CreateShortcuts(AllLinks(), group);

    std::vector<std::string> places = Places();
    std::string program = TestProgramFolder();
    std::vector<std::pair<std::string, std::string>> links = {{places[0] + "\\Kelvon.lnk", program + "Kelvon.exe"},
                                                              {places[1] + "\\Kelvon.lnk", program + "Kelvon.exe"}};
    std::set<std::string> expected = before;
    if (kVersion == "win7") expected.erase(oldLink);
    for (size_t i = 2; i < places.size(); ++i) {
        std::string folder = places[i] + "\\Kelvon\\";
        expected.insert(folder);
        links.push_back({folder + "Kelvon.lnk", program + "Kelvon.exe"});
        links.push_back({folder + GetMsg(IDS_HELP_LINK_NAME) + ".lnk", program + "Kelvon.chm"});
        links.push_back({folder + GetMsg(IDS_MANUAL_LINK_NAME) + ".lnk", program + "Vok.txt"});
    }
    for (const auto& link : links) {
        expected.insert(link.first);
        EXPECT_EQ(std::make_pair(link.second, std::string(GetMsg(IDS_SHORTCUT_COMMENT))), ReadLink(link.first));
    }
    EXPECT_EQ(expected, ShortcutFolderListing());
    char ansiGroup[kPathSize] = "";
    WideCharToMultiByte(CP_ACP, 0, group, -1, ansiGroup, kPathSize, nullptr, nullptr);
    EXPECT_EQ(places.back() + "\\Kelvon", std::string(ansiGroup));

    CreateShortcuts(IntegrationSettings{}, nullptr);
    before.erase(oldLink);
    EXPECT_EQ(before, ShortcutFolderListing());
}

// The group's links carry the program's own Chinese names without a catalog,
// also on a Western Windows (shortcuts_test_western, code page 1252), which
// has no Chinese: the NT family saves them through the wide calls. The group
// to open is named as the file system names it, also where the all-users
// programs folder has a name the code page lacks (its ANSI form is then the
// short one).
TEST_F(Shortcuts, GroupLinkNamesAreTheProgramsOwn) {
    CreateShortcuts(AllLinks(), nullptr);
    const std::vector<std::string> places = Places();
    for (std::size_t i = 2; i < places.size(); ++i) {
        wchar_t folder[MAX_PATH];
        ASSERT_NE(0, MultiByteToWideChar(CP_ACP, 0, places[i].c_str(), -1, folder, MAX_PATH));
        for (const wchar_t* name : {L"\\Kelvon\\Kelvon \u4E2D\u6587\u5E2E\u52A9.lnk",
                                    L"\\Kelvon\\\u63A7\u5236\u53F0 VOK \u4E2D\u6587\u624B\u518C.lnk"}) {
            EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((std::wstring(folder) + name).c_str())) << i;
        }
    }
    if (kVersion == "win98") return;
    const std::wstring programs = L"C:\\\u7A0B\u5E8F";
    CreateDirectoryW(programs.c_str(), nullptr);
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\"
                                           L"Explorer\\User Shell Folders", 0, KEY_READ | KEY_WRITE, &key));
    BYTE previous[2 * MAX_PATH];
    DWORD type = 0, size = sizeof(previous);
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, L"Common Programs", nullptr, &type, previous, &size));
    RegSetValueExW(key, L"Common Programs", 0, REG_SZ, reinterpret_cast<const BYTE*>(programs.c_str()),
                   static_cast<DWORD>(2 * programs.size() + 2));
    wchar_t group[kPathSize] = L"";
    CreateShortcuts(AllLinks(), group);
    CreateShortcuts(IntegrationSettings{}, nullptr);
    RegSetValueExW(key, L"Common Programs", 0, type, previous, size);
    RegCloseKey(key);
    RemoveDirectoryW(programs.c_str());
    EXPECT_EQ(programs + L"\\Kelvon", std::wstring(group));
}

// A special folder the system cannot name is passed over: no link is made or
// deleted relative to the current folder instead.
TEST_F(Shortcuts, AFolderTheSystemCannotNameIsPassedOver) {
    const char kUserFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    ScratchFolder current("kelvon_current");
    ASSERT_TRUE(WriteBytes(current.PathOf("Kelvon.lnk"), "not ours"));
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof(previous), previous);
    SetCurrentDirectoryA(current.Path().c_str());
    // On a drive that does not exist the folder can be neither found nor made.
    PutString(HKEY_CURRENT_USER, kUserFolders, "Desktop", "Q:\\Nowhere\\Desktop");
    bool unavailable = SpecialFolder(CSIDL_DESKTOPDIRECTORY).empty();
    wchar_t group[kPathSize] = L"";
    CreateShortcuts(AllLinks(), group);
    std::string made = FileContent(current.PathOf("Kelvon.lnk"));
    CreateShortcuts(IntegrationSettings{}, nullptr);
    std::set<std::string> left = FolderListing(current.Path());
    // Without the value the system names its default desktop again.
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kUserFolders, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "Desktop");
        RegCloseKey(key);
    }
    SetCurrentDirectoryA(previous);
    ASSERT_TRUE(unavailable) << "the prefix still names the desktop";
    EXPECT_EQ("not ours", made);
    EXPECT_EQ(std::set<std::string>{current.PathOf("Kelvon.lnk")}, left);
    EXPECT_NE(L'\0', group[0]);  // the rest was made all the same
}

TEST_F(Shortcuts, ALinkNameThatDoesNotFitIsNotSavedCut) {
    ScratchFolder folder("kelvon_long_link");
    // Cut to 259 characters this would still be a valid name.
    std::string link = folder.Path() + std::string(296 - folder.Path().size(), 'a') + ".lnk";
    EXPECT_FALSE(CreateShellLink("C:\\Kelvon.exe", link.c_str(), "description"));
    EXPECT_EQ(std::set<std::string>{}, FolderListing(folder.Path()));
}

}  // namespace
