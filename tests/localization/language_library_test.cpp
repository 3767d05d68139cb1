// Message strings from the program, the language library and the catalog.
// The program's own string table is linked into this test, so GetMsg sees
// the real messages.
#include "localization/language_library.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/catalog_text.h"
#include "localization/catalog.h"
#include "localization/messages.h"
#include "platform/system.h"
#include "resources/resource_ids.h"
#include "support/dialog_driver.h"
#include "support/process.h"
#include "support/scratch_folder.h"

namespace {

// Built beside this test by the build, with its own strings and an "RTL" dialog.
std::string LibraryFolder() {
    return TestProgramFolder() + "language_library\\";
}

std::string Gbk(const char* utf8) {
    return FromUtf8(utf8, 936);
}

class Messages : public ::testing::Test {
protected:
    void SetUp() override {
        if (GetACP() != 936) GTEST_SKIP() << "code page is " << GetACP() << ", not 936 (locale missing?)";
        self_ = GetModuleHandleA(nullptr);
    }
    void TearDown() override {
        LanguageLibrary::Unload();
        Catalog.Release();
        Catalog.rtl = 0;
    }

    void LoadLibraryBesideThis() {
        LanguageLibrary::Load(self_, (LibraryFolder() + "Uninstall.exe").c_str());
        ASSERT_TRUE(LanguageLibrary::loaded) << "no library in " << LibraryFolder();
    }
    void LoadCatalog(const std::string& entries) {
        ASSERT_TRUE(WriteBytes(folder_.PathOf("uninstall.lng"), kCatalogMarkerLine + entries));
        Catalog.Load(folder_.PathOf("uninstall.lng").c_str(), ResourceModule);
        ASSERT_TRUE(Catalog.IsLoaded());
    }

    HMODULE self_ = nullptr;
    ScratchFolder folder_{"kelvon_messages"};
};

const char kCaption[] = "卸载 Kelvon";
const char kConfirm[] = "确实要卸载 Kelvon 吗?";
const char kDeleteManually[] = "你应该手动删除 %s";
const char kCannotOpen[] = "无法打开列表文件 %s";

TEST_F(Messages, ProgramTextsWithoutLibraryOrCatalog) {
    LanguageLibrary::Load(self_, nullptr);  // no library beside this test
    EXPECT_FALSE(LanguageLibrary::loaded);
    EXPECT_EQ(self_, ResourceModule);
    EXPECT_EQ(self_, ProgramInstance);
    EXPECT_EQ(Gbk(kCaption), GetMsg(IDS_UNINSTALL_CAPTION));
    EXPECT_EQ(Gbk(kDeleteManually), GetFormatMsg(IDS_DELETE_MANUALLY));
    EXPECT_STREQ("", GetMsg(4999));
}

TEST_F(Messages, LibraryStringsWithFallbackToTheProgram) {
    // The prefix decides how the library is loaded: as data on NT, else as a module.
    const char* expectNt = std::getenv("KELVON_EXPECT_NT");
    ASSERT_NE(nullptr, expectNt);
    ASSERT_EQ(*expectNt == '1', WinNT() != 0);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        LoadLibraryBesideThis();
        EXPECT_NE(self_, ResourceModule);
        EXPECT_EQ(self_, ProgramInstance);
        // Mapped as data on the NT family (such handles are tagged in their low bit).
        EXPECT_EQ(WinNT() != 0, (reinterpret_cast<UINT_PTR>(ResourceModule) & 1) != 0);
        EXPECT_STREQ("Library caption", GetMsg(IDS_UNINSTALL_CAPTION));
        EXPECT_EQ(Gbk(kConfirm), GetMsg(IDS_CONFIRM_UNINSTALL));
        // The library's %d format is refused, its %s format taken.
        EXPECT_EQ(Gbk(kDeleteManually), GetFormatMsg(IDS_DELETE_MANUALLY));
        EXPECT_STREQ("Library cannot open %s", GetFormatMsg(IDS_CANNOT_OPEN_LIST));
        LanguageLibrary::Unload();
        EXPECT_FALSE(LanguageLibrary::loaded);
        EXPECT_EQ(self_, ResourceModule);
        EXPECT_EQ(Gbk(kCaption), GetMsg(IDS_UNINSTALL_CAPTION));
        LanguageLibrary::Unload();
        EXPECT_EQ(self_, ResourceModule);
    }
}

TEST_F(Messages, LibraryPathsThatCannotBeUsed) {
    const std::string paths[] = {
        folder_.PathOf("Uninstall.exe"),                          // no library there
        LibraryFolder() + std::string(1100, 'x'),                  // too long to hold
        std::string(1030 - LibraryFolder().size(), 'y'),           // too long with the library's name
    };
    for (const auto& path : paths) {
        SCOPED_TRACE(path.substr(0, 60));
        LoadLibraryBesideThis();
        LanguageLibrary::Load(self_, path.c_str());  // releases the one loaded before
        EXPECT_FALSE(LanguageLibrary::loaded);
        EXPECT_EQ(self_, ResourceModule);
        EXPECT_EQ(Gbk(kCaption), GetMsg(IDS_UNINSTALL_CAPTION));
    }
}

TEST_F(Messages, CatalogTranslatesTheProgramsTextsNotTheLibrarys) {
    LoadLibraryBesideThis();
    LoadCatalog(MessageEntry(Gbk(kCaption), "Catalog caption") + MessageEntry("Library completed", "from library"));
    EXPECT_STREQ("Catalog caption", GetMsg(IDS_UNINSTALL_CAPTION));
    EXPECT_EQ(Gbk("卸载已完成"), GetMsg(IDS_UNINSTALL_COMPLETED));
    EXPECT_EQ(Gbk(kCannotOpen), GetFormatMsg(IDS_CANNOT_OPEN_LIST));
    // The library's "RTL" dialog sets the direction whatever the catalog says.
    EXPECT_EQ(1, Catalog.rtl);
    // After the library is gone the catalog still translates.
    LanguageLibrary::Unload();
    EXPECT_STREQ("Catalog caption", GetMsg(IDS_UNINSTALL_CAPTION));
    EXPECT_EQ(1, Catalog.rtl);
}

TEST_F(Messages, TranslatedFormatsAreUsedOnlyWithOneString) {
    const struct {
        const char* value;
        const char* expected;  // null: the program's own text
    } cases[] = {
        {"Delete %s by hand", "Delete %s by hand"},
        {"100%% sure: delete %s", "100%% sure: delete %s"},
        {"%d %s", nullptr},
        {"%s and %s", nullptr},
        {"%n%s", nullptr},
        {"no placeholder", nullptr},
    };
    LanguageLibrary::Load(self_, nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        LoadCatalog(MessageEntry(Gbk(kDeleteManually), c.value));
        EXPECT_STREQ(c.value, GetMsg(IDS_DELETE_MANUALLY));
        EXPECT_EQ(c.expected ? c.expected : Gbk(kDeleteManually), GetFormatMsg(IDS_DELETE_MANUALLY));
    }
}

TEST_F(Messages, EightRotatingBuffers) {
    LanguageLibrary::Load(self_, nullptr);
    const char* first = GetMsg(IDS_UNINSTALL_CAPTION);
    for (int i = 0; i < 7; ++i) {
        const char* text = GetMsg(IDS_CONFIRM_UNINSTALL);
        EXPECT_NE(first, text);
        EXPECT_EQ(Gbk(kCaption), first) << "overwritten after " << i + 1 << " calls";
    }
    const char* ninth = GetMsg(IDS_CONFIRM_UNINSTALL);
    EXPECT_EQ(first, ninth);
    EXPECT_EQ(Gbk(kConfirm), first);
}

TEST_F(Messages, LibraryWithoutCatalogKeepsTheDirectionFromTheLibrary) {
    LoadLibraryBesideThis();
    Catalog.Load(folder_.PathOf("missing.lng").c_str(), ResourceModule);
    EXPECT_FALSE(Catalog.IsLoaded());
    EXPECT_EQ(1, Catalog.rtl);
    LanguageLibrary::Unload();
    Catalog.Load(folder_.PathOf("missing.lng").c_str(), ResourceModule);
    EXPECT_EQ(0, Catalog.rtl);
}

}  // namespace
