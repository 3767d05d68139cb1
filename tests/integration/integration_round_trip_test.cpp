// Setup's whole integration and its removal against the real registry and
// file system, with other programs' entries planted first: afterwards all is
// as before, apart from the differences listed in KeptDifferences.
#include "integration/program_registration.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "association_test_support.h"
#include "class_registry.h"
#include "integration/settings.h"
#include "integration_test_support.h"
#include "platform/path_text.h"
#include "platform/system.h"
#include "support/process.h"
#include "support/registry_lock.h"

namespace {

const HKEY kClasses = HKEY_CLASSES_ROOT;
const char kAppPathKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Kelvon.exe";

void PlantForeignOwners() {
    PutString(kClasses, ".zip", "", "OtherArchiver.zip");
    PutString(kClasses, ".zip", "Content Type", "application/x-other-zip");
    PutString(kClasses, ".zip\\ShellNew", "NullFile", "");
    PutString(kClasses, ".7z", "", "OtherArchiver.7z");
    DeleteKeyTree(kClasses, ".arj");  // nobody's
    // An empty handler key that was there before setup stays after it.
    MakeKey(kClasses, "Drive\\shellex\\DragDropHandlers");
}

// The registry, the shortcut folders and the program folder.
struct SystemState {
    RegistrySnapshot registry;
    std::set<std::string> files;
};

SystemState TakeState() {
    SystemState state{WholeRegistry(), ShortcutFolderListing()};
    for (const std::string& file : FolderListing(TestProgramFolder())) state.files.insert(file);
    return state;
}

// "+x", "-x" for files as SnapshotDifferences gives them for the registry.
std::set<std::string> Differences(const SystemState& before, const SystemState& after) {
    std::set<std::string> differences = SnapshotDifferences(before.registry, after.registry);
    for (const std::string& file : after.files) {
        if (!before.files.count(file)) differences.insert("+" + file);
    }
    for (const std::string& file : before.files) {
        if (!after.files.count(file)) differences.insert("-" + file);
    }
    return differences;
}

// What setup leaves behind on purpose after its removal; nothing else may
// differ.
std::set<std::string> KeptDifferences(const IntegrationSettings& settings) {
    std::set<std::string> kept;
    bool shellNew = settings.flag[ShellIntegration] && settings.flag[0] && settings.flag[1];
    if (!shellNew) return kept;
    if (ExpectedShellNew() == "data") {
        // Where the shell takes the New-menu template as "Data", the restore
        // of ".zip" puts back the previous owner's empty-file entry but
        // keeps our "Data" beside it: the backup records a template file or
        // an empty file, never "Data".
        kept.insert("+HKLM\\Software\\Classes\\.zip\\ShellNew|Data");
    } else {
        // The template files beside the program are made once and never
        // rewritten; no sequence deletes them, the program folder is the
        // uninstall's to empty.
        kept.insert("+" + TestProgramFolder() + "voknew.dat");
        kept.insert("+" + TestProgramFolder() + "zipnew.dat");
    }
    return kept;
}

// Whether an entry of the machine's key ("<key>" or "<key>|<value>", below
// Software) shows in the 32-bit view.
bool In32BitView(const std::string& entry) {
    std::string::size_type bar = entry.find('|');
    std::string key = "Software\\" + entry.substr(0, bar);
    if (bar == std::string::npos) return KeyExists(HKEY_LOCAL_MACHINE, key, KEY_WOW64_32KEY);
    return ValueExists(HKEY_LOCAL_MACHINE, key, entry.substr(bar + 1), KEY_WOW64_32KEY);
}

// The entries that a setup added in the 64-bit view alone. A write of the
// 32-bit view lies below Wow6432Node where the key is redirected, and at the
// same path where both views share the key; so an entry that shows in both
// views is the 64-bit view's own only when the 32-bit view has a twin below
// Wow6432Node.
std::set<std::string> AddedIn64BitViewAlone(const std::set<std::string>& added) {
    const std::string machine = "+HKLM\\Software\\";
    const std::string redirected = "Wow6432Node\\";
    std::set<std::string> alone;
    for (const std::string& entry : added) {
        if (entry.compare(0, machine.size(), machine) != 0) continue;
        std::string rest = entry.substr(machine.size());
        if (rest.find(redirected) != std::string::npos) continue;
        if (!In32BitView(rest) || added.count(machine + redirected + rest)) alone.insert(rest);
    }
    return alone;
}

class IntegrationRoundTrip : public IntegrationTest {
protected:
    void SetUp() override {
        IntegrationTest::SetUp();
        PlaceLibrary("vokext.dll");
        PlaceLibrary("vokext64.dll");
        PlantForeignOwners();
    }
    void TearDown() override {
        RemoveIntegration();
        for (const char* name : {"voknew.dat", "zipnew.dat"}) DeleteFileA((TestProgramFolder() + name).c_str());
        DeleteKeyTree(kClasses, "Drive\\shellex\\DragDropHandlers");
        IntegrationTest::TearDown();
    }
};

TEST_F(IntegrationRoundTrip, DefaultSettingsAreUndoneExactly) {
    IntegrationSettings settings = {};
    LoadSettings(settings);
    SystemState before = TakeState();

    char group[kPathSize] = "";
    ASSERT_TRUE(ApplyIntegration(settings, group));
    std::set<std::string> added = Differences(before, TakeState());
    // Only the App Paths copy and the 64-bit library's class land in the
    // 64-bit view; every other write stays in the program's own view.
    std::set<std::string> expected64;
    if (IsWow64()) {
        const std::string app = "Microsoft\\Windows\\CurrentVersion\\App Paths\\Kelvon.exe";
        const std::string clsid = "Classes\\CLSID\\{7A0C52E1-51A8-4B2F-86C1-0E5A9B3D47F2}";
        expected64 = {app, app + "|", app + "|Path", clsid, clsid + "|", clsid + "\\InProcServer32",
                      clsid + "\\InProcServer32|", clsid + "\\InProcServer32|ThreadingModel"};
    }
    EXPECT_EQ(expected64, AddedIn64BitViewAlone(added));
    // The uninstall entry is the settings dialog's to add.
    for (const std::string& entry : added) EXPECT_EQ(std::string::npos, entry.find("Kelvon archiver")) << entry;
    EXPECT_TRUE(added.count("+" + std::string(group) + "\\")) << group;

    RemoveIntegration();
    SystemState removed = TakeState();
    EXPECT_EQ(KeptDifferences(settings), Differences(before, removed));

    // A second removal finds nothing of the archiver's.
    RemoveIntegration();
    EXPECT_EQ(std::set<std::string>{}, Differences(removed, TakeState()));
}

TEST_F(IntegrationRoundTrip, EverythingOnWithTheUninstallEntryIsUndoneExactly) {
    IntegrationSettings settings = {};
    for (unsigned char& flag : settings.flag) flag = 1;
    SystemState before = TakeState();
    char group[kPathSize] = "";
    ASSERT_TRUE(ApplyIntegration(settings, group));
    RegisterUninstallEntry();
    ASSERT_NE("", std::string(group));
    RemoveIntegration();
    EXPECT_EQ(KeptDifferences(settings), Differences(before, TakeState()));
}

// The first machine-wide write is refused, as it is to a user without
// administrator rights.
TEST_F(IntegrationRoundTrip, WithoutAdministratorRightsNothingIsWritten) {
    RegistryKeyLock lock(HKEY_LOCAL_MACHINE, kAppPathKey);
    ASSERT_TRUE(lock.Locked());
    IntegrationSettings settings = {};
    for (unsigned char& flag : settings.flag) flag = 1;
    SystemState before = TakeState();
    char group[kPathSize] = "";
    EXPECT_FALSE(ApplyIntegration(settings, group));
    EXPECT_STREQ("", group);
    EXPECT_EQ(std::set<std::string>{}, Differences(before, TakeState()));
}

}  // namespace
