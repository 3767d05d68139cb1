// The shell extension and the Default Programs capabilities as Explorer finds
// them. KELVON_EXPECT_WOW64 says whether the prefix is 64-bit Windows,
// KELVON_EXPECT_VERSION which version it reports.
#include "integration/shell_extension.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "integration_test_support.h"
#include "support/process.h"

namespace {

const HKEY kClasses = HKEY_CLASSES_ROOT;
const HKEY kMachine = HKEY_LOCAL_MACHINE;
const std::string kId32 = "{7A0C52E1-3D94-4B2F-86C1-0E5A9B3D47F2}";
const std::string kId64 = "{7A0C52E1-51A8-4B2F-86C1-0E5A9B3D47F2}";
const char kApproved[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
const bool kWow64 = std::getenv("KELVON_EXPECT_WOW64") != nullptr;
const bool kVista = std::getenv("KELVON_EXPECT_VERSION") && std::string(std::getenv("KELVON_EXPECT_VERSION")) == "win7";

IntegrationSettings ShellIntegrationOn() {
    IntegrationSettings settings = {};
    settings.flag[ShellIntegration] = 1;
    return settings;
}

// A class as one view shows it: its name and server, "" when missing.
std::string ClassIn(const std::string& id, REGSAM view) {
    std::string key = "CLSID\\" + id;
    if (!KeyExists(kClasses, key, view)) return "";
    return GetString(kClasses, key, "", view) + "|" + GetString(kClasses, key + "\\InProcServer32", "", view) + "|" +
           GetString(kClasses, key + "\\InProcServer32", "ThreadingModel", view);
}

class ShellExtension : public IntegrationTest {
protected:
    void TearDown() override {
        UpdateShellIntegration(true, IntegrationSettings{});
        IntegrationTest::TearDown();
    }
};

TEST_F(ShellExtension, EachLibraryIsRegisteredInItsOwnView) {
    PlaceLibrary("vokext.dll");
    PlaceLibrary("vokext64.dll");
    UpdateShellIntegration(false, ShellIntegrationOn());
    std::string program = TestProgramFolder();
    EXPECT_EQ("Kelvon|" + program + "vokext.dll|Apartment", ClassIn(kId32, 0));
    EXPECT_EQ(kWow64 ? "Kelvon|" + program + "vokext64.dll|Apartment" : "", ClassIn(kId64, KEY_WOW64_64KEY));
    EXPECT_EQ("", ClassIn(kId64, KEY_WOW64_32KEY));
    // Explorer of 64-bit Windows loads the handler named "Kelvon".
    for (const char* place : {"*\\shellex\\ContextMenuHandlers\\", "Folder\\shellex\\DragDropHandlers\\",
                              "Drive\\shellex\\DragDropHandlers\\", "Directory\\shellex\\ContextMenuHandlers\\"}) {
        EXPECT_EQ(kWow64 ? kId64 : kId32, GetString(kClasses, place + std::string("Kelvon"), "")) << place;
        EXPECT_EQ(kWow64 ? kId32 : "<missing>", GetString(kClasses, place + std::string("Kelvon32"), "")) << place;
    }
    EXPECT_EQ("", GetString(kClasses, "Kelvon.ZIP\\shellex\\PropertySheetHandlers\\" + kId32, ""));
    EXPECT_EQ(kWow64 ? kId64 : kId32, GetString(kClasses, "Kelvon\\shellex\\DropHandler", ""));
    EXPECT_EQ(kWow64 ? "Kelvon shell extension" : "<missing>", GetString(kMachine, kApproved, kId64));
    // Default Programs, from Vista on: every extension of every group.
    const char kAssociations[] = "Software\\Kelvon\\Capabilities\\FileAssociations";
    EXPECT_EQ(kVista ? "Kelvon.ZIP" : "<missing>", GetString(kMachine, kAssociations, ".zip"));
    EXPECT_EQ(kVista ? "Kelvon" : "<missing>", GetString(kMachine, kAssociations, ".tbz2"));
    EXPECT_EQ(kVista ? 23u : 0u, TakeSnapshot(kMachine, {kAssociations}).size());
}

// A class must not name a file that is not there; the rest is written.
TEST_F(ShellExtension, WithoutTheLibraryOnlyItsClassIsLeftOut) {
    UpdateShellIntegration(false, ShellIntegrationOn());
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) EXPECT_EQ("", ClassIn(kId32, view) + ClassIn(kId64, view));
    EXPECT_EQ(kId32, GetString(kClasses, kWow64 ? "*\\shellex\\ContextMenuHandlers\\Kelvon32"
                                                : "*\\shellex\\ContextMenuHandlers\\Kelvon", ""));
    EXPECT_EQ("Kelvon shell extension", GetString(kMachine, kApproved, kId32));
}

// A handler key that setup made and another program filled since stays
// while that program's entry is there, and goes with the last removal.
TEST_F(ShellExtension, AKeyAnotherProgramFilledSinceStays) {
    const std::string kParent = "Drive\\shellex\\DragDropHandlers";
    bool existed = KeyExists(kClasses, kParent);
    UpdateShellIntegration(false, ShellIntegrationOn());
    PutString(kClasses, kParent + "\\Theirs", "", "{00000000-0000-0000-0000-000000000002}");
    UpdateShellIntegration(false, IntegrationSettings{});
    EXPECT_TRUE(KeyExists(kClasses, kParent + "\\Theirs"));
    EXPECT_FALSE(KeyExists(kClasses, kParent + "\\Kelvon"));
    DeleteKeyTree(kClasses, kParent + "\\Theirs");
    UpdateShellIntegration(true, IntegrationSettings{});
    EXPECT_EQ(existed, KeyExists(kClasses, kParent));
}

}  // namespace
