// The catalog read from real files: where it is looked for, how the marker is
// found in the file's blocks, and the direction setting.
#include "localization/catalog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/catalog_text.h"
#include "platform/file.h"
#include "support/process.h"
#include "support/scratch_folder.h"

namespace {

const std::string kEntry = MessageEntry("abc", "translated");

std::string Translated(const LanguageCatalog& catalog, const char* text) {
    char out[512];
    catalog.Translate(text, out, sizeof(out), kMessageText, nullptr);
    return out;
}

// The marker's search reads 8192-byte blocks that overlap by 16 bytes, 64
// blocks at most: marker starts up to 63 * 8176 + 8176 are seen.
constexpr int kLastFoundStart = 63 * 8176 + 8176;

TEST(CatalogLoad, MarkerWhereverTheBlocksSeeIt) {
    const struct {
        const char* what;
        std::string bytes;
        bool loaded;
    } cases[] = {
        {"marker first", kCatalogMarkerLine + kEntry, true},
        {"end of the first block's window", std::string(8176, 'h') + kCatalogMarkerLine + kEntry, true},
        {"just past it", std::string(8177, 'h') + kCatalogMarkerLine + kEntry, true},
        {"across the block boundary", std::string(8180, 'h') + kCatalogMarkerLine + kEntry, true},
        {"last place of the 64th block", std::string(kLastFoundStart, 'h') + kCatalogMarkerLine + kEntry, true},
        {"past the 64 blocks", std::string(kLastFoundStart + 1, 'h') + kCatalogMarkerLine + kEntry, false},
        {"a header, an entry and zeros before it",
         MessageEntry("abc", "header") + std::string(40, '\0') + "\x81\\\"" + kCatalogMarkerLine + kEntry, true},
        {"16 bytes", kCatalogMarkerLine, true},
        {"15 bytes", "***messages***x", false},
        {"marker in the last 15 bytes", std::string(100, 'h') + "***messages**\r\n", false},
        {"no marker", MessageEntry("abc", "no marker") + std::string(20000, '\n'), false},
        {"empty", "", false},
    };
    ScratchFolder folder("kelvon_catalog_load");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = folder.PathOf("uninstall.lng");
        ASSERT_TRUE(WriteBytes(path, c.bytes));
        LanguageCatalog catalog;
        catalog.Load(path.c_str(), GetModuleHandleA(nullptr));
        EXPECT_EQ(c.loaded, catalog.IsLoaded());
        EXPECT_EQ(c.loaded && c.bytes.size() > 16 ? "translated" : "abc", Translated(catalog, "abc"));
        // The file was closed on every road: it can be deleted at once.
        EXPECT_TRUE(DeleteFileA(path.c_str())) << GetLastError();
        for (File* open : OpenFileTable) EXPECT_EQ(nullptr, open);
    }
}

TEST(CatalogLoad, ANameWithoutBackslashLiesBesideTheProgram) {
    ScratchFolder folder("kelvon_catalog_path");
    std::string beside = TestProgramFolder() + "catalog_load_test.lng";
    ASSERT_TRUE(WriteBytes(beside, kCatalogMarkerLine + MessageEntry("abc", "beside")));
    ASSERT_TRUE(WriteBytes(folder.PathOf("catalog_load_test.lng"), kCatalogMarkerLine + MessageEntry("abc", "current")));
    char saved[MAX_PATH];
    GetCurrentDirectoryA(sizeof(saved), saved);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));
    const struct {
        const char* name;
        const char* translation;
    } cases[] = {
        {"catalog_load_test.lng", "beside"},
        {".\\catalog_load_test.lng", "current"},
        {"missing.lng", "abc"},
        {".\\missing.lng", "abc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LanguageCatalog catalog;
        catalog.Load(c.name, GetModuleHandleA(nullptr));
        EXPECT_EQ(c.translation, Translated(catalog, "abc"));
    }
    // A path too long for the 1024-byte buffer is refused, not cut.
    std::string tooLong = folder.Path() + std::string(1100, 'x') + "\\catalog_load_test.lng";
    LanguageCatalog catalog;
    catalog.Load(tooLong.c_str(), GetModuleHandleA(nullptr));
    EXPECT_FALSE(catalog.IsLoaded());
    SetCurrentDirectoryA(saved);
    DeleteFileA(beside.c_str());
}

TEST(CatalogLoad, DirectionEntry) {
    const struct {
        const char* value;  // null: no direction entry
        unsigned char rtl;
    } cases[] = {
        {"RTL", 1}, {"rtl", 0}, {"RTL ", 0}, {"LTR", 0}, {"", 0}, {nullptr, 0},
    };
    ASSERT_EQ("50a17ae8", CatalogKey(kDialogText, "LTR", "LTR"));
    ScratchFolder folder("kelvon_catalog_direction");
    std::string path = folder.PathOf("uninstall.lng");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(none)");
        std::string entry = c.value ? CatalogEntry(kDialogText, "LTR", "LTR", c.value) : std::string();
        ASSERT_TRUE(WriteBytes(path, kCatalogMarkerLine + kEntry + entry));
        LanguageCatalog catalog;
        catalog.Load(path.c_str(), GetModuleHandleA(nullptr));
        ASSERT_TRUE(catalog.IsLoaded());
        EXPECT_EQ(c.rtl, catalog.rtl);
    }
    // Without a catalog the program's own resources decide: they hold no "RTL" dialog.
    LanguageCatalog none;
    none.rtl = 1;
    none.Load(folder.PathOf("missing.lng").c_str(), GetModuleHandleA(nullptr));
    EXPECT_EQ(0, none.rtl);
}

TEST(CatalogLoad, SecondLoadReplacesTheFirst) {
    ScratchFolder folder("kelvon_catalog_reload");
    std::string path = folder.PathOf("uninstall.lng");
    ASSERT_TRUE(WriteBytes(path, kCatalogMarkerLine + kEntry));
    LanguageCatalog catalog;
    catalog.Load(path.c_str(), GetModuleHandleA(nullptr));
    EXPECT_EQ("translated", Translated(catalog, "abc"));
    catalog.Load(folder.PathOf("missing.lng").c_str(), GetModuleHandleA(nullptr));
    EXPECT_FALSE(catalog.IsLoaded());
    EXPECT_EQ("abc", Translated(catalog, "abc"));
}

}  // namespace
