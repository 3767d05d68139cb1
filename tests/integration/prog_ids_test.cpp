// The archive types in the real registry, with and without the rights to
// write them.
#include "integration/prog_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "association_test_support.h"
#include "class_registry.h"
#include "localization/catalog.h"
#include "localization/messages.h"
#include "platform/program_path.h"
#include "resources/resource_ids.h"
#include "support/catalog_text.h"
#include "support/process.h"
#include "support/registry_lock.h"
#include "support/scratch_folder.h"

namespace {

const HKEY kClasses = HKEY_CLASSES_ROOT;

class ProgIds : public ::testing::Test {
protected:
    void SetUp() override { CleanAssociations(); }
    void TearDown() override { CleanAssociations(); }
};

TEST(PathBesideProgram, NamesAFileInTheProgramFolderOrRefuses) {
    std::string expected = TestProgramFolder() + "zipnew.dat";
    char program[MAX_PATH];
    // The program's own path is read into the same buffer first.
    size_t needed = std::max<size_t>(GetModuleFileNameA(nullptr, program, sizeof(program)), expected.size()) + 1;
    for (size_t capacity : {needed, needed - 1, size_t{10}, size_t{1024}}) {
        SCOPED_TRACE(capacity);
        std::vector<char> buffer(capacity + 4, static_cast<char>(0xbd));
        bool fits = capacity >= needed;
        EXPECT_EQ(fits, PathBesideProgram("zipnew.dat", buffer.data(), capacity));
        EXPECT_EQ(fits ? expected : "", std::string(buffer.data()));
        for (size_t i = capacity; i < buffer.size(); ++i) EXPECT_EQ(0xbd, static_cast<unsigned char>(buffer[i]));
    }
}

TEST_F(ProgIds, RegistersTheThreeArchiveTypes) {
    std::string archiver = TestProgramFolder() + "Kelvon.exe";
    std::string command = "\"" + archiver + "\" \"%1\"";
    ASSERT_TRUE(RegisterProgIds());
    const struct {
        const char* type;
        unsigned description;
        const char* icon;
    } types[] = {
        {"Kelvon", IDS_ARCHIVE_TYPE, ",0"},
        {"Kelvon.ZIP", IDS_ZIP_ARCHIVE_TYPE, ",0"},
        {"Kelvon.REV", IDS_RECOVERY_VOLUME_TYPE, ",1"},
    };
    for (const auto& t : types) {
        SCOPED_TRACE(t.type);
        std::string description = GetMsg(t.description);
        EXPECT_NE("", description);
        EXPECT_EQ(description, GetString(kClasses, t.type, ""));
        EXPECT_EQ(command, GetString(kClasses, std::string(t.type) + "\\shell\\open\\command", ""));
        EXPECT_EQ(archiver + t.icon, GetString(kClasses, std::string(t.type) + "\\DefaultIcon", ""));
    }
    EXPECT_EQ("Kelvon.REV", GetString(kClasses, ".rev", ""));
}

TEST_F(ProgIds, KeepsAnIconSomeoneElseChose) {
    PutString(kClasses, "Kelvon\\DefaultIcon", "", "C:\\icons\\theirs.ico,3");
    PutString(kClasses, "Kelvon.REV\\DefaultIcon", "", "");
    ASSERT_TRUE(RegisterProgIds());
    EXPECT_EQ("C:\\icons\\theirs.ico,3", GetString(kClasses, "Kelvon\\DefaultIcon", ""));
    // An empty icon counts as none.
    EXPECT_EQ(TestProgramFolder() + "Kelvon.exe,1", GetString(kClasses, "Kelvon.REV\\DefaultIcon", ""));
}

// The descriptions are messages, so a catalog beside the program translates
// them like any other text.
TEST_F(ProgIds, DescriptionsFollowTheCatalog) {
    char original[512];
    ASSERT_GT(LoadStringA(nullptr, IDS_ARCHIVE_TYPE, original, sizeof(original)), 0);
    ScratchFolder folder("kelvon_prog_ids");
    std::string catalog = folder.PathOf("uninstall.lng");
    ASSERT_TRUE(WriteBytes(catalog, kCatalogMarkerLine + MessageEntry(original, "Archive of Kelvon")));
    Catalog.Load(catalog.c_str(), nullptr);
    ASSERT_TRUE(Catalog.IsLoaded());
    bool registered = RegisterProgIds();
    Catalog.Release();
    ASSERT_TRUE(registered);
    EXPECT_EQ("Archive of Kelvon", GetString(kClasses, "Kelvon", ""));
    // Texts the catalog does not name stay as built in.
    EXPECT_EQ(GetMsg(IDS_ZIP_ARCHIVE_TYPE), GetString(kClasses, "Kelvon.ZIP", ""));
}

TEST_F(ProgIds, WithoutRightsWritesNothing) {
    {
        RegistryKeyLock lock(kClasses, "Kelvon");
        ASSERT_TRUE(lock.Locked());
        EXPECT_FALSE(RegisterProgIds());
    }
    EXPECT_EQ("<missing>", GetString(kClasses, "Kelvon", ""));
    EXPECT_FALSE(KeyExists(kClasses, "Kelvon\\shell"));
    EXPECT_FALSE(KeyExists(kClasses, "Kelvon\\DefaultIcon"));
    for (const char* key : {"Kelvon.ZIP", "Kelvon.REV", ".rev"}) EXPECT_FALSE(KeyExists(kClasses, key)) << key;
}

}  // namespace
