// The shortcuts as a user finds them: real .lnk files in the folders each
// Windows version uses, read back through the shell. KELVON_EXPECT_VERSION
// names the version the prefix reports.
#include "integration/shortcuts.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "association_test_support.h"
#include "integration_test_support.h"
#include "localization/catalog.h"
#include "localization/messages.h"
#include "platform/path_text.h"
#include "resources/resource_ids.h"
#include "support/catalog_text.h"
#include "support/process.h"
#include "support/scratch_folder.h"

namespace {

std::string ExpectedVersion() {
    const char* version = std::getenv("KELVON_EXPECT_VERSION");
    return version ? version : "";
}

// Where a version puts the desktop and Start menu links and the groups.
struct Places {
    std::string desktop;
    std::string startMenu;
    std::vector<std::string> programs;  // the group's folder last
};

Places PlacesOf(const std::string& version) {
    if (version == "win98") {
        return {SpecialFolder(CSIDL_DESKTOPDIRECTORY), SpecialFolder(CSIDL_STARTMENU), {SpecialFolder(CSIDL_PROGRAMS)}};
    }
    std::vector<std::string> programs = {SpecialFolder(CSIDL_PROGRAMS), SpecialFolder(CSIDL_COMMON_PROGRAMS)};
    if (version == "winxp") return {SpecialFolder(CSIDL_DESKTOPDIRECTORY), SpecialFolder(CSIDL_STARTMENU), programs};
    return {SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY), SpecialFolder(CSIDL_COMMON_STARTMENU), programs};
}

IntegrationSettings AllLinks() {
    IntegrationSettings settings = {};
    settings.flag[DesktopLink] = settings.flag[StartMenuLink] = settings.flag[ProgramGroupLinks] = 1;
    return settings;
}

std::string Beside(const char* name) { return TestProgramFolder() + name; }

class Shortcuts : public IntegrationTest {
protected:
    void TearDown() override {
        CreateShortcuts(IntegrationSettings{}, nullptr);
        DeleteFileA((SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Kelvon.lnk").c_str());
        IntegrationTest::TearDown();
    }
};

TEST_F(Shortcuts, LinksLandWhereTheWindowsVersionPutsThem) {
    std::string version = ExpectedVersion();
    ASSERT_FALSE(version.empty()) << "KELVON_EXPECT_VERSION not set";
    Places places = PlacesOf(version);
    // A per-user desktop link of an earlier setup: from Vista on the link is
    // the all-users one, and this one goes.
    std::string perUserDesktopLink = SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Kelvon.lnk";
    ASSERT_TRUE(WriteBytes(perUserDesktopLink, "old"));
    std::set<std::string> before = ShortcutFolderListing();

    char group[kPathSize] = "";
    CreateShortcuts(AllLinks(), group);

    struct Link {
        std::string path;
        std::string target;
    };
    std::vector<Link> links = {{places.desktop + "\\Kelvon.lnk", Beside("Kelvon.exe")},
                               {places.startMenu + "\\Kelvon.lnk", Beside("Kelvon.exe")}};
    std::set<std::string> expected = before;
    if (version == "win7") expected.erase(perUserDesktopLink);
    for (const std::string& programs : places.programs) {
        std::string folder = programs + "\\Kelvon\\";
        expected.insert(folder);
        links.push_back({folder + "Kelvon.lnk", Beside("Kelvon.exe")});
        links.push_back({folder + GetMsg(IDS_HELP_LINK_NAME) + ".lnk", Beside("Kelvon.chm")});
        links.push_back({folder + GetMsg(IDS_MANUAL_LINK_NAME) + ".lnk", Beside("Vok.txt")});
    }
    for (const Link& link : links) expected.insert(link.path);
    EXPECT_EQ(expected, ShortcutFolderListing());
    EXPECT_EQ(places.programs.back() + "\\Kelvon", std::string(group));
    for (const Link& link : links) {
        SCOPED_TRACE(link.path);
        LinkContent content = ReadLink(link.path);
        EXPECT_EQ(link.target, content.target);
        EXPECT_EQ(GetMsg(IDS_SHORTCUT_COMMENT), content.description);
    }

    // With the flags clear every link and group goes, the old per-user
    // desktop link too.
    CreateShortcuts(IntegrationSettings{}, nullptr);
    before.erase(perUserDesktopLink);
    EXPECT_EQ(before, ShortcutFolderListing());
}

// The group's link names and the descriptions are messages a catalog may
// translate; a translated name that is a path is not followed out of the
// group folder.
TEST_F(Shortcuts, NamesAndDescriptionsFollowTheCatalog) {
    char help[512], manual[512], comment[512];
    ASSERT_GT(LoadStringA(nullptr, IDS_HELP_LINK_NAME, help, sizeof(help)), 0);
    ASSERT_GT(LoadStringA(nullptr, IDS_MANUAL_LINK_NAME, manual, sizeof(manual)), 0);
    ASSERT_GT(LoadStringA(nullptr, IDS_SHORTCUT_COMMENT, comment, sizeof(comment)), 0);
    ScratchFolder folder("kelvon_shortcuts");
    std::string catalog = folder.PathOf("uninstall.lng");
    ASSERT_TRUE(WriteBytes(catalog, kCatalogMarkerLine + MessageEntry(help, "Kelvon Help") +
                                        MessageEntry(manual, "../Outside") +
                                        MessageEntry(comment, "Archives of every kind")));
    Catalog.Load(catalog.c_str(), nullptr);
    ASSERT_TRUE(Catalog.IsLoaded());
    std::set<std::string> before = ShortcutFolderListing();
    IntegrationSettings settings = {};
    settings.flag[ProgramGroupLinks] = 1;
    char group[kPathSize] = "";
    CreateShortcuts(settings, group);
    Catalog.Release();

    std::set<std::string> expected = before;
    for (const std::string& programs : PlacesOf(ExpectedVersion()).programs) {
        expected.insert(programs + "\\Kelvon\\");
        for (const char* name : {"Kelvon.lnk", "Kelvon Help.lnk"}) {
            std::string link = programs + "\\Kelvon\\" + name;
            expected.insert(link);
            EXPECT_EQ("Archives of every kind", ReadLink(link).description) << link;
        }
    }
    EXPECT_EQ(expected, ShortcutFolderListing());
}

// A special folder the system cannot name is passed over: no link is made or
// deleted relative to the current folder instead.
TEST_F(Shortcuts, AFolderTheSystemCannotNameIsPassedOver) {
    const char kUserShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    ScratchFolder current("kelvon_current");
    std::string bystander = current.PathOf("Kelvon.lnk");
    ASSERT_TRUE(WriteBytes(bystander, "not ours"));
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof(previous), previous);
    SetCurrentDirectoryA(current.Path().c_str());
    // A drive that does not exist: the folder can be neither found nor made.
    PutString(HKEY_CURRENT_USER, kUserShellFolders, "Desktop", "Q:\\Nowhere\\Desktop");
    bool unavailable = SpecialFolder(CSIDL_DESKTOPDIRECTORY).empty();

    char group[kPathSize] = "";
    CreateShortcuts(AllLinks(), group);
    std::set<std::string> left = FolderListing(current.Path());
    std::string content = FileContent(bystander);
    std::string startMenu = PlacesOf(ExpectedVersion()).startMenu;
    bool startMenuLink = FolderListing(startMenu).count(startMenu + "\\Kelvon.lnk") != 0;
    CreateShortcuts(IntegrationSettings{}, nullptr);
    std::string contentAfterRemoval = FileContent(bystander);

    // Without the value the system names its default desktop again.
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kUserShellFolders, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "Desktop");
        RegCloseKey(key);
    }
    SetCurrentDirectoryA(previous);
    ASSERT_TRUE(unavailable) << "the prefix still names the desktop";
    EXPECT_EQ(std::set<std::string>{bystander}, left);
    EXPECT_EQ("not ours", content);
    EXPECT_EQ("not ours", contentAfterRemoval);
    // The links whose folders exist are made all the same.
    EXPECT_TRUE(startMenuLink);
    EXPECT_NE("", std::string(group));
}

TEST_F(Shortcuts, ALinkNameThatDoesNotFitIsNotSavedCut) {
    ScratchFolder folder("kelvon_long_link");
    // Cut to 259 characters this would still be a valid name.
    std::string link = folder.Path() + std::string(300 - folder.Path().size() - 4, 'a') + ".lnk";
    EXPECT_FALSE(CreateShellLink(Beside("Kelvon.exe").c_str(), link.c_str(), "description"));
    EXPECT_EQ(std::set<std::string>{}, FolderListing(folder.Path()));
    std::string fits = folder.PathOf("Kelvon.lnk");
    EXPECT_TRUE(CreateShellLink(Beside("Kelvon.exe").c_str(), fits.c_str(), "description"));
    EXPECT_EQ(Beside("Kelvon.exe"), ReadLink(fits).target);
    DeleteFileA(fits.c_str());
}

TEST_F(Shortcuts, DeleteFolderTreeTakesTheWholeFolder) {
    ScratchFolder scratch("kelvon_delete_tree");
    std::string tree = scratch.PathOf("Tree");
    CreateDirectoryA(tree.c_str(), nullptr);
    CreateDirectoryA((tree + "\\Inner").c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(tree + "\\Inner\\file.txt", "x"));
    EXPECT_TRUE(DeleteFolderTree(tree.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(tree.c_str()));
    EXPECT_FALSE(DeleteFolderTree(tree.c_str()));
}

}  // namespace
