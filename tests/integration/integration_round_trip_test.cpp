// Setup's whole integration and its removal against the real registry and
// file system, with other programs' entries planted first: afterwards all is
// as before, apart from the differences listed in KeptDifferences.
#include "integration/program_registration.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "association_test_support.h"
#include "integration/settings.h"
#include "integration_test_support.h"
#include "platform/path_text.h"
#include "platform/system.h"
#include "support/process.h"
#include "support/registry_lock.h"

namespace {

const HKEY kClasses = HKEY_CLASSES_ROOT;

// The registry, and the files below the shortcut folders and beside the
// program, as "+x" and "-x" differences.
std::set<std::string> Differences(const RegistrySnapshot& before, const std::set<std::string>& filesBefore) {
    std::set<std::string> differences = SnapshotDifferences(before, WholeRegistry());
    std::set<std::string> files = ShortcutFolderListing();
    for (const std::string& file : FolderListing(TestProgramFolder())) files.insert(file);
    for (const std::string& file : files) {
        if (!filesBefore.count(file)) differences.insert("+" + file);
    }
    for (const std::string& file : filesBefore) {
        if (!files.count(file)) differences.insert("-" + file);
    }
    return differences;
}

// What setup leaves behind on purpose after its removal; nothing else may
// differ.
std::set<std::string> KeptDifferences() {
    if (ExpectedShellNew() == "data") {
        // Where the shell takes the New-menu template as "Data", the restore
        // of ".zip" puts back the previous owner's empty-file entry but keeps
        // our "Data" beside it: the backup records a template file or an
        // empty file, never "Data".
        return {"+HKLM\\Software\\Classes\\.zip\\ShellNew|Data"};
    }
    // The templates beside the program are made once and never rewritten; no
    // sequence deletes them, emptying the program folder is the uninstall's.
    return {"+" + TestProgramFolder() + "voknew.dat", "+" + TestProgramFolder() + "zipnew.dat"};
}

// Under WOW64, where an entry lies in the 64-bit view alone: neither below a
// Wow6432Node key nor in a key of HKEY_CLASSES_ROOT that both views share
// (all but the classes).
bool In64BitViewAlone(const std::string& entry) {
    auto startsWith = [&entry](const char* prefix) { return entry.rfind(prefix, 0) == 0; };
    return startsWith("+HKLM\\") && entry.find("Wow6432Node") == std::string::npos &&
           (!startsWith("+HKLM\\Software\\Classes\\") || startsWith("+HKLM\\Software\\Classes\\CLSID\\"));
}

class IntegrationRoundTrip : public IntegrationTest {
protected:
    void SetUp() override {
        IntegrationTest::SetUp();
        PlaceLibrary("vokext.dll");
        PlaceLibrary("vokext64.dll");
        PutString(kClasses, ".zip", "", "OtherArchiver.zip");
        PutString(kClasses, ".zip", "Content Type", "application/x-other-zip");
        PutString(kClasses, ".zip\\ShellNew", "NullFile", "");
        PutString(kClasses, ".7z", "", "OtherArchiver.7z");
        DeleteKeyTree(kClasses, ".arj");  // nobody's
        // An empty handler key that was there before setup stays after it.
        MakeKey(kClasses, "Drive\\shellex\\DragDropHandlers");
        registry_ = WholeRegistry();
        files_ = ShortcutFolderListing();
        for (const std::string& file : FolderListing(TestProgramFolder())) files_.insert(file);
    }
    void TearDown() override {
        RemoveIntegration();
        for (const char* name : {"voknew.dat", "zipnew.dat"}) DeleteFileA((TestProgramFolder() + name).c_str());
        DeleteKeyTree(kClasses, "Drive\\shellex\\DragDropHandlers");
        IntegrationTest::TearDown();
    }
    std::set<std::string> Changes() const { return Differences(registry_, files_); }

    RegistrySnapshot registry_;
    std::set<std::string> files_;
};

TEST_F(IntegrationRoundTrip, DefaultSettingsAreUndoneExactly) {
    IntegrationSettings settings = {};
    LoadSettings(settings);
    wchar_t group[kPathSize] = L"";
    ASSERT_TRUE(ApplyIntegration(settings, group));
    std::set<std::string> added = Changes();
    char ansiGroup[kPathSize] = "";
    WideCharToMultiByte(CP_ACP, 0, group, -1, ansiGroup, kPathSize, nullptr, nullptr);
    EXPECT_TRUE(added.count("+" + std::string(ansiGroup) + "\\")) << ansiGroup;
    // Only the App Paths copy and the 64-bit library's class land in the
    // 64-bit view alone; the uninstall entry is the settings dialog's to add.
    std::set<std::string> alone;
    for (const std::string& entry : added) {
        if (IsWow64() && In64BitViewAlone(entry)) alone.insert(entry);
        EXPECT_EQ(std::string::npos, entry.find("Kelvon archiver")) << entry;
    }
    std::string app = "+HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Kelvon.exe";
    std::string clsid = "+HKLM\\Software\\Classes\\CLSID\\{7A0C52E1-51A8-4B2F-86C1-0E5A9B3D47F2}";
    std::set<std::string> expected = {app, app + "|", app + "|Path", clsid, clsid + "|", clsid + "\\InProcServer32",
                                      clsid + "\\InProcServer32|", clsid + "\\InProcServer32|ThreadingModel"};
    EXPECT_EQ(IsWow64() ? expected : std::set<std::string>{}, alone);

    RemoveIntegration();
    EXPECT_EQ(KeptDifferences(), Changes());
    // A second removal finds nothing of the archiver's.
    RemoveIntegration();
    EXPECT_EQ(KeptDifferences(), Changes());
}

TEST_F(IntegrationRoundTrip, EverythingOnWithTheUninstallEntryIsUndoneExactly) {
    IntegrationSettings settings = {};
    for (unsigned char& flag : settings.flag) flag = 1;
    wchar_t group[kPathSize] = L"";
    ASSERT_TRUE(ApplyIntegration(settings, group));
    RegisterUninstallEntry();
    RemoveIntegration();
    EXPECT_EQ(KeptDifferences(), Changes());
}

// A 64-bit edition of the archiver installed beside this one took the App
// Paths key of the 64-bit view: it keeps it, also where both views share the
// key (as under Wine). Where there is one view, the key is ours and goes.
TEST_F(IntegrationRoundTrip, AnotherEditionKeepsItsAppPath) {
    const char key[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Kelvon.exe";
    const std::string other = "C:\\Program Files\\Kelvon (64-bit)\\Kelvon.exe";
    IntegrationSettings settings = {};
    wchar_t group[kPathSize] = L"";
    ASSERT_TRUE(ApplyIntegration(settings, group));
    HKEY handle;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_WRITE | KEY_WOW64_64KEY,
                                             nullptr, &handle, nullptr));
    RegSetValueExA(handle, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(other.c_str()), other.size() + 1);
    RegCloseKey(handle);
    const bool shared = IsWow64() && GetString(HKEY_LOCAL_MACHINE, key, "") == other;
    RemoveIntegration();
    EXPECT_EQ(shared ? other : "<missing>", GetString(HKEY_LOCAL_MACHINE, key, ""));
    EXPECT_EQ(IsWow64() ? other : "<missing>", GetString(HKEY_LOCAL_MACHINE, key, "", KEY_WOW64_64KEY));
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key, KEY_WOW64_64KEY, 0);
}

// The first machine-wide write is refused, as it is to a user without
// administrator rights.
TEST_F(IntegrationRoundTrip, WithoutAdministratorRightsNothingIsWritten) {
    RegistryKeyLock lock(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Kelvon.exe");
    ASSERT_TRUE(lock.Locked());
    registry_ = WholeRegistry();
    IntegrationSettings settings = {};
    for (unsigned char& flag : settings.flag) flag = 1;
    wchar_t group[kPathSize] = L"";
    EXPECT_FALSE(ApplyIntegration(settings, group));
    EXPECT_EQ(L'\0', group[0]);
    EXPECT_EQ(std::set<std::string>{}, Changes());
}

}  // namespace
