// Taking extensions for the archiver and giving them back, against the real
// registry. Run in prefixes of different Windows versions, which tell through
// KELVON_EXPECT_SHELLNEW and KELVON_EXPECT_VOLUMES what they make the program do.
#include "integration/associations.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "association_test_support.h"
#include "class_registry.h"
#include "support/process.h"
#include "support/registry_lock.h"

namespace {

const HKEY kClasses = HKEY_CLASSES_ROOT;
const HKEY kUser = HKEY_CURRENT_USER;
const char kMissing[] = "<missing>";

// The empty archives of the New menu, byte for byte.
const std::string kZipImage = std::string("PK\x05\x06", 4) + std::string(18, '\0');
const std::string kNativeImage = std::string("Vok!\x1A\x07\x00\xCF\x90\x73\x00\x00\x0D", 13) + std::string(7, '\0');

std::string Backup(const std::string& extension) { return "Software\\Kelvon\\Setup\\" + extension; }

std::string AsText(const std::vector<unsigned char>& bytes) { return std::string(bytes.begin(), bytes.end()); }

class Associations : public ::testing::Test {
protected:
    void SetUp() override { CleanAssociations(); }
    void TearDown() override { CleanAssociations(); }

    static bool ShellNewIsData() { return ExpectedShellNew() == "data"; }
};

TEST_F(Associations, ExtensionWithoutKeyIsTakenAndRemovedAgain) {
    for (const char* extension : {".arj", ".zip"}) {
        SCOPED_TRACE(extension);
        bool zip = std::string(extension) == ".zip";
        SetExtAssociation(extension, true, true, false, zip);
        EXPECT_EQ(zip ? "Kelvon.ZIP" : "Kelvon", GetString(kClasses, extension, ""));
        EXPECT_EQ(0u, GetDword(kUser, Backup(extension), "Exist"));
        EXPECT_EQ("", GetString(kUser, Backup(extension), "Type"));
        EXPECT_EQ("", GetString(kUser, Backup(extension), "Content"));
        EXPECT_EQ("", GetString(kUser, Backup(extension), "ShellNew"));
        EXPECT_EQ(zip, KeyExists(kClasses, std::string(extension) + "\\ShellNew"));

        SetExtAssociation(extension, false, true, false, zip);
        EXPECT_FALSE(KeyExists(kClasses, extension));
    }
}

TEST_F(Associations, KeyThatGainedASubkeyStaysWithAnEmptyType) {
    SetExtAssociation(".arj", true, false, false, false);
    MakeKey(kClasses, ".arj\\OpenWithProgids");
    SetExtAssociation(".arj", false, false, false, false);
    EXPECT_EQ("", GetString(kClasses, ".arj", ""));
    EXPECT_TRUE(KeyExists(kClasses, ".arj\\OpenWithProgids"));
}

TEST_F(Associations, ZipWithNullFileEntryIsGivenBackExactly) {
    PutString(kClasses, ".zip", "", "CompressedFolder");
    PutString(kClasses, ".zip", "Content Type", "application/x-zip-compressed");
    PutString(kClasses, ".zip\\ShellNew", "NullFile", "");

    SetExtAssociation(".zip", true, true, false, true);
    EXPECT_EQ(1u, GetDword(kUser, Backup(".zip"), "Exist"));
    EXPECT_EQ("CompressedFolder", GetString(kUser, Backup(".zip"), "Type"));
    EXPECT_EQ("application/x-zip-compressed", GetString(kUser, Backup(".zip"), "Content"));
    EXPECT_EQ("*", GetString(kUser, Backup(".zip"), "ShellNew"));
    EXPECT_EQ("Kelvon.ZIP", GetString(kClasses, ".zip", ""));
    EXPECT_FALSE(ValueExists(kClasses, ".zip", "Content Type"));
    EXPECT_FALSE(ValueExists(kClasses, ".zip\\ShellNew", "NullFile"));

    SetExtAssociation(".zip", false, true, false, true);
    EXPECT_EQ("CompressedFolder", GetString(kClasses, ".zip", ""));
    EXPECT_EQ("application/x-zip-compressed", GetString(kClasses, ".zip", "Content Type"));
    EXPECT_EQ("", GetString(kClasses, ".zip\\ShellNew", "NullFile"));
    EXPECT_FALSE(ValueExists(kClasses, ".zip\\ShellNew", "FileName"));
}

TEST_F(Associations, BackupRecordsTheNewMenuEntry) {
    const struct {
        const char* fileName;  // null: no such value
        const char* nullFile;
        const char* recorded;
    } cases[] = {
        {nullptr, nullptr, ""},
        {"C:\\Templates\\zip.zip", nullptr, "C:\\Templates\\zip.zip"},
        {nullptr, "", "*"},
        {"C:\\Templates\\zip.zip", "", "C:\\Templates\\zip.zip"},
        {"", "", "*"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.fileName ? c.fileName : "-") + " / " + (c.nullFile ? "NullFile" : "-"));
        CleanAssociations();
        PutString(kClasses, ".zip", "", "CompressedFolder");
        if (c.fileName) PutString(kClasses, ".zip\\ShellNew", "FileName", c.fileName);
        if (c.nullFile) PutString(kClasses, ".zip\\ShellNew", "NullFile", c.nullFile);
        SetExtAssociation(".zip", true, true, false, true);
        EXPECT_EQ(c.recorded, GetString(kUser, Backup(".zip"), "ShellNew"));
    }
}

TEST_F(Associations, SecondTakeKeepsTheFirstOwner) {
    PutString(kClasses, ".cab", "", "CABFolder");
    PutString(kClasses, ".cab", "Content Type", "application/vnd.ms-cab-compressed");
    SetExtAssociation(".cab", true, true, false, false);
    SetExtAssociation(".cab", true, true, false, false);
    EXPECT_EQ("CABFolder", GetString(kUser, Backup(".cab"), "Type"));
    EXPECT_EQ("application/vnd.ms-cab-compressed", GetString(kUser, Backup(".cab"), "Content"));
    EXPECT_EQ(1u, GetDword(kUser, Backup(".cab"), "Exist"));

    SetExtAssociation(".cab", false, true, false, false);
    EXPECT_EQ("CABFolder", GetString(kClasses, ".cab", ""));
}

TEST_F(Associations, ExtensionTakenByAnotherProgramSinceIsLeftAlone) {
    SetExtAssociation(".vok", true, true, true, false);
    PutString(kClasses, ".vok", "", "Other.Archive");
    PutString(kClasses, ".vok", "Content Type", "application/x-other");

    SetExtAssociation(".vok", false, true, true, false);
    EXPECT_EQ("Other.Archive", GetString(kClasses, ".vok", ""));
    EXPECT_EQ("application/x-other", GetString(kClasses, ".vok", "Content Type"));
    EXPECT_TRUE(KeyExists(kClasses, ".vok\\ShellNew"));
    EXPECT_EQ("Kelvon", GetString(kClasses, ".v00", ""));
    EXPECT_EQ("Kelvon", GetString(kClasses, ".v29", ""));
}

TEST_F(Associations, BackupNamingOurOwnTypeRestoresAnEmptyType) {
    for (const char* recorded : {"Kelvon", "kelvon.zip"}) {
        SCOPED_TRACE(recorded);
        PutString(kClasses, ".ace", "", "Kelvon");
        PutDword(kUser, Backup(".ace"), "Exist", 1);
        PutString(kUser, Backup(".ace"), "Type", recorded);
        SetExtAssociation(".ace", false, true, false, false);
        EXPECT_EQ("", GetString(kClasses, ".ace", ""));
        EXPECT_TRUE(KeyExists(kClasses, ".ace"));
    }
}

TEST_F(Associations, BackupThatCannotBeWrittenLeavesTheOwner) {
    PutString(kClasses, ".lzh", "", "LhaFile");
    RegistryKeyLock lock(kUser, Backup(".lzh").c_str());
    ASSERT_TRUE(lock.Locked());
    SetExtAssociation(".lzh", true, true, false, false);
    EXPECT_EQ("LhaFile", GetString(kClasses, ".lzh", ""));
}

TEST_F(Associations, OverlongExtensionIsRefused) {
    // Its backup key would not fit the registry layer's key paths.
    std::string extension = "." + std::string(231, 'x');
    PutString(kClasses, extension, "", "Long.Type");
    SetExtAssociation(extension.c_str(), true, true, false, true);
    EXPECT_EQ("Long.Type", GetString(kClasses, extension, ""));
    DeleteKeyTree(kClasses, extension);
}

TEST_F(Associations, IsOwnAssociation) {
    const struct {
        const char* type;  // null: no key at all
        bool own;
    } cases[] = {
        {"Kelvon", true},   {"Kelvon.ZIP", true},  {"kelvon.zip", true}, {"KELVON", true},
        {"Kelvon.REV", false}, {"Kelvon ", false}, {"", false},          {nullptr, false},
        {"Kelvon.ZIPX", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type ? c.type : "(no key)");
        DeleteKeyTree(kClasses, ".7z");
        if (c.type) PutString(kClasses, ".7z", "", c.type);
        EXPECT_EQ(c.own, IsOwnAssociation(".7z"));
    }
}

TEST_F(Associations, VolumeExtensionsWithoutRecordedType) {
    int count = ExpectedVolumeCount();
    ASSERT_NE(0, count) << "KELVON_EXPECT_VOLUMES not set";
    PutString(kClasses, ".v05", "", "Other.Volume");
    PutString(kClasses, ".v05", "Content Type", "application/x-volume");
    PutString(kClasses, ".v99", "", "Other.Volume");

    SetExtAssociation(".vok", true, false, true, false);
    std::vector<std::string> volumes = VolumeExtensions();
    for (int i = 0; i < 100; ++i) {
        SCOPED_TRACE(volumes[i]);
        if (i < count) {
            EXPECT_EQ("Kelvon", GetString(kClasses, volumes[i], ""));
            EXPECT_FALSE(ValueExists(kClasses, volumes[i], "Content Type"));
        } else if (i != 99) {
            EXPECT_FALSE(KeyExists(kClasses, volumes[i]));
        }
    }
    if (count < 100) {
        EXPECT_EQ("Other.Volume", GetString(kClasses, ".v99", ""));
    }

    // Release goes over all hundred, also those this Windows did not take.
    SetExtAssociation(".vok", false, false, true, false);
    for (const std::string& volume : volumes) EXPECT_FALSE(KeyExists(kClasses, volume)) << volume;
}

TEST_F(Associations, VolumeExtensionsGetTheRecordedType) {
    ASSERT_NE(0, ExpectedVolumeCount()) << "KELVON_EXPECT_VOLUMES not set";
    PutString(kClasses, ".vok", "", "Old.Archive");
    PutString(kClasses, ".vok", "Content Type", "application/x-old");
    SetExtAssociation(".vok", true, false, true, false);
    SetExtAssociation(".vok", false, false, true, false);
    EXPECT_EQ("Old.Archive", GetString(kClasses, ".vok", ""));
    for (const std::string& volume : VolumeExtensions()) {
        SCOPED_TRACE(volume);
        EXPECT_EQ("Old.Archive", GetString(kClasses, volume, ""));
        EXPECT_EQ("application/x-old", GetString(kClasses, volume, "Content Type"));
    }
}

TEST_F(Associations, ApplyAssociationsFollowsTheGroupFlags) {
    IntegrationSettings settings = {};
    settings.flag[1] = 1;  // ".zip"
    settings.flag[9] = 1;  // ".uue.xxe.uu"
    ApplyAssociations(settings);
    const struct {
        const char* extension;
        const char* type;
    } taken[] = {
        {".zip", "Kelvon.ZIP"}, {".uue", "Kelvon"}, {".xxe", "Kelvon"}, {".uu", "Kelvon"},
        {".vok", kMissing},     {".cab", kMissing}, {".gz", kMissing},  {".z", kMissing},
    };
    for (const auto& t : taken) EXPECT_EQ(t.type, GetString(kClasses, t.extension, "")) << t.extension;
    // Shell integration was off: no New-menu entry for ".zip".
    EXPECT_FALSE(KeyExists(kClasses, ".zip\\ShellNew"));

    ApplyAssociations(IntegrationSettings{});
    for (const auto& t : taken) EXPECT_FALSE(KeyExists(kClasses, t.extension)) << t.extension;
}

TEST_F(Associations, ShellNewDataOnOlderShells) {
    ASSERT_TRUE(ShellNewIsData());
    SetExtAssociation(".zip", true, true, false, true);
    SetExtAssociation(".vok", true, true, true, false);
    EXPECT_EQ(kZipImage, AsText(GetBinary(kClasses, ".zip\\ShellNew", "Data")));
    EXPECT_EQ(kNativeImage, AsText(GetBinary(kClasses, ".vok\\ShellNew", "Data")));
    EXPECT_FALSE(ValueExists(kClasses, ".zip\\ShellNew", "FileName"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((TestProgramFolder() + "zipnew.dat").c_str()));
}

TEST_F(Associations, ShellNewTemplateFilesAreMadeOnce) {
    ASSERT_FALSE(ShellNewIsData());
    const struct {
        const char* extension;
        bool native;
        const char* file;
        std::string bytes;
    } cases[] = {
        {".zip", false, "zipnew.dat", kZipImage},
        {".vok", true, "voknew.dat", kNativeImage},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extension);
        std::string path = TestProgramFolder() + c.file;
        SetExtAssociation(c.extension, true, true, c.native, !c.native);
        EXPECT_EQ(c.bytes, FileContent(path));
        EXPECT_EQ(path, GetString(kClasses, std::string(c.extension) + "\\ShellNew", "FileName"));
        EXPECT_FALSE(ValueExists(kClasses, std::string(c.extension) + "\\ShellNew", "Data"));

        // A file already there, whatever it holds, is not written again.
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written;
        WriteFile(file, "user's own", 10, &written, nullptr);
        FILETIME old = {0x12345678, 0x01c00000};
        SetFileTime(file, nullptr, nullptr, &old);
        CloseHandle(file);
        SetExtAssociation(c.extension, false, true, c.native, !c.native);
        SetExtAssociation(c.extension, true, true, c.native, !c.native);
        EXPECT_EQ("user's own", FileContent(path));
        WIN32_FILE_ATTRIBUTE_DATA attributes;
        ASSERT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &attributes));
        EXPECT_EQ(old.dwLowDateTime, attributes.ftLastWriteTime.dwLowDateTime);
        EXPECT_EQ(old.dwHighDateTime, attributes.ftLastWriteTime.dwHighDateTime);
    }
}

TEST_F(Associations, ShellNewEntriesOnlyForNativeAndZipWithShellIntegration) {
    const struct {
        const char* extension;
        bool shellIntegration;
        bool native;
        bool zip;
    } cases[] = {
        {".cab", true, false, false},
        {".zip", false, false, true},
        {".vok", false, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extension);
        std::string shellNew = std::string(c.extension) + "\\ShellNew";
        PutString(kClasses, c.extension, "", "Their.Type");
        PutString(kClasses, shellNew, "FileName", "C:\\Templates\\theirs.dat");
        PutString(kClasses, shellNew, "NullFile", "");
        SetExtAssociation(c.extension, true, c.shellIntegration, c.native, c.zip);
        EXPECT_EQ("C:\\Templates\\theirs.dat", GetString(kClasses, shellNew, "FileName"));
        EXPECT_EQ("", GetString(kClasses, shellNew, "NullFile"));
        EXPECT_FALSE(ValueExists(kClasses, shellNew, "Data"));
    }
}

}  // namespace
