// The shell extension and the Default Programs capabilities as Explorer finds
// them: each library's class in its own registry view, its handlers, the
// approved list. KELVON_EXPECT_VERSION names the Windows version of the
// prefix, KELVON_EXPECT_WOW64 whether it is 64-bit.
#include "integration/shell_extension.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "association_test_support.h"
#include "class_registry.h"
#include "integration_test_support.h"
#include "support/process.h"

namespace {

const HKEY kClasses = HKEY_CLASSES_ROOT;
const HKEY kMachine = HKEY_LOCAL_MACHINE;
const char kId32[] = "{7A0C52E1-3D94-4B2F-86C1-0E5A9B3D47F2}";
const char kId64[] = "{7A0C52E1-51A8-4B2F-86C1-0E5A9B3D47F2}";
const char kApproved[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
const char kMissing[] = "<missing>";

// The places that name their handler by the handler name.
const char* const kNamedPlaces[] = {
    "*\\shellex\\ContextMenuHandlers",         "Folder\\shellex\\ContextMenuHandlers",
    "Folder\\shellex\\DragDropHandlers",       "Drive\\shellex\\DragDropHandlers",
    "Directory\\shellex\\ContextMenuHandlers", "Directory\\shellex\\DragDropHandlers",
};
// The places that name their handler by the class identifier.
const char* const kClassPlaces[] = {
    "Kelvon\\shellex\\ContextMenuHandlers",     "Kelvon\\shellex\\PropertySheetHandlers",
    "Kelvon.ZIP\\shellex\\ContextMenuHandlers", "Kelvon.ZIP\\shellex\\PropertySheetHandlers",
    "exefile\\shellex\\PropertySheetHandlers",
};

bool ExpectedWow64() {
    const char* wow64 = std::getenv("KELVON_EXPECT_WOW64");
    return wow64 && std::string(wow64) == "1";
}

bool ExpectedVista() {
    const char* version = std::getenv("KELVON_EXPECT_VERSION");
    return version && std::string(version) == "win7";
}

IntegrationSettings ShellIntegrationOn() {
    IntegrationSettings settings = {};
    settings.flag[ShellIntegration] = 1;
    return settings;
}

// A library's class as one view shows it: "" when missing, else its name,
// server and threading model.
std::string ClassIn(const char* id, REGSAM view) {
    std::string key = std::string("CLSID\\") + id;
    if (!KeyExists(kClasses, key, view)) return "";
    std::string server = key + "\\InProcServer32";
    return GetString(kClasses, key, "", view) + "|" + GetString(kClasses, server, "", view) + "|" +
           GetString(kClasses, server, "ThreadingModel", view);
}

std::string LibraryClass(const char* library) {
    return "Kelvon|" + TestProgramFolder() + library + "|Apartment";
}

// Every key the extension touches, with the parents it may have created.
RegistrySnapshot ExtensionKeys() {
    RegistrySnapshot keys =
        TakeSnapshot(kClasses, {"*", "Folder", "Drive", "Directory", "exefile", "Kelvon", "Kelvon.ZIP"});
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        for (const char* id : {kId32, kId64}) {
            for (const auto& entry : TakeSnapshot(kClasses, {std::string("CLSID\\") + id}, view)) {
                keys[std::to_string(view) + entry.first] = entry.second;
            }
        }
        for (const auto& entry : TakeSnapshot(kMachine, {kApproved}, view)) keys[entry.first] = entry.second;
    }
    return keys;
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
    bool wow64 = ExpectedWow64();

    EXPECT_EQ(LibraryClass("vokext.dll"), ClassIn(kId32, 0));
    EXPECT_EQ(wow64 ? LibraryClass("vokext64.dll") : "", ClassIn(kId64, KEY_WOW64_64KEY));
    EXPECT_EQ("", ClassIn(kId64, KEY_WOW64_32KEY));
    for (const char* place : kNamedPlaces) {
        SCOPED_TRACE(place);
        std::string key = std::string(place) + "\\";
        EXPECT_EQ(wow64 ? kId64 : kId32, GetString(kClasses, key + "Kelvon", ""));
        EXPECT_EQ(wow64 ? kId32 : kMissing, GetString(kClasses, key + "Kelvon32", ""));
    }
    for (const char* place : kClassPlaces) {
        SCOPED_TRACE(place);
        std::string key = std::string(place) + "\\";
        EXPECT_EQ("", GetString(kClasses, key + kId32, ""));
        EXPECT_EQ(wow64 ? "" : kMissing, GetString(kClasses, key + kId64, ""));
    }
    // The library registered last owns the drop handlers.
    for (const char* type : {"Kelvon", "Kelvon.ZIP"}) {
        EXPECT_EQ(wow64 ? kId64 : kId32, GetString(kClasses, std::string(type) + "\\shellex\\DropHandler", ""));
    }
    EXPECT_EQ("Kelvon shell extension", GetString(kMachine, kApproved, kId32));
    EXPECT_EQ(wow64 ? "Kelvon shell extension" : kMissing, GetString(kMachine, kApproved, kId64));
}

// A class must not name a file that is not there; the rest is written.
TEST_F(ShellExtension, WithoutTheLibraryOnlyItsClassIsLeftOut) {
    UpdateShellIntegration(false, ShellIntegrationOn());
    bool wow64 = ExpectedWow64();
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        EXPECT_EQ("", ClassIn(kId32, view));
        EXPECT_EQ("", ClassIn(kId64, view));
    }
    EXPECT_EQ(kId32, GetString(kClasses, wow64 ? "*\\shellex\\ContextMenuHandlers\\Kelvon32"
                                               : "*\\shellex\\ContextMenuHandlers\\Kelvon",
                               ""));
    EXPECT_EQ("", GetString(kClasses, std::string("exefile\\shellex\\PropertySheetHandlers\\") + kId32, ""));
    EXPECT_EQ(wow64 ? kId64 : kId32, GetString(kClasses, "Kelvon\\shellex\\DropHandler", ""));
    EXPECT_EQ("Kelvon shell extension", GetString(kMachine, kApproved, kId32));
}

// Turned off at a later setup, the extension goes with every key it made,
// in both views; what was there before stays as it was.
TEST_F(ShellExtension, TurnedOffLeavesTheKeysAsTheyWere) {
    PlaceLibrary("vokext.dll");
    PlaceLibrary("vokext64.dll");
    MakeKey(kClasses, "Folder\\shellex\\DragDropHandlers");
    PutString(kClasses, "Directory\\shellex\\ContextMenuHandlers\\Other", "", "{00000000-0000-0000-0000-000000000001}");
    RegistrySnapshot before = ExtensionKeys();
    UpdateShellIntegration(false, ShellIntegrationOn());
    UpdateShellIntegration(false, IntegrationSettings{});
    EXPECT_EQ(std::set<std::string>{}, SnapshotDifferences(before, ExtensionKeys()));
    DeleteKeyTree(kClasses, "Directory\\shellex\\ContextMenuHandlers\\Other");
}

// A handler key that another program filled since setup stays, and goes
// once that program's entry has gone too.
TEST_F(ShellExtension, AKeyAnotherProgramFilledSinceStays) {
    RegistrySnapshot before = ExtensionKeys();
    UpdateShellIntegration(false, ShellIntegrationOn());
    const char kTheirs[] = "Drive\\shellex\\DragDropHandlers\\Theirs";
    PutString(kClasses, kTheirs, "", "{00000000-0000-0000-0000-000000000002}");
    UpdateShellIntegration(false, IntegrationSettings{});
    EXPECT_TRUE(KeyExists(kClasses, kTheirs));
    EXPECT_FALSE(KeyExists(kClasses, "Drive\\shellex\\DragDropHandlers\\Kelvon"));
    DeleteKeyTree(kClasses, kTheirs);
    UpdateShellIntegration(true, IntegrationSettings{});
    EXPECT_EQ(std::set<std::string>{}, SnapshotDifferences(before, ExtensionKeys()));
}

TEST_F(ShellExtension, CapabilitiesFromVistaOnWhateverTheShellIntegration) {
    UpdateShellIntegration(false, IntegrationSettings{});
    EXPECT_EQ(kMissing, GetString(kClasses, "*\\shellex\\ContextMenuHandlers\\Kelvon", ""));
    if (!ExpectedVista()) {
        EXPECT_EQ(kMissing, GetString(kMachine, "Software\\RegisteredApplications", "Kelvon"));
        EXPECT_FALSE(KeyExists(kMachine, "Software\\Kelvon"));
        return;
    }
    EXPECT_EQ("Software\\Kelvon\\Capabilities", GetString(kMachine, "Software\\RegisteredApplications", "Kelvon"));
    EXPECT_EQ("Kelvon", GetString(kMachine, "Software\\Kelvon\\Capabilities", "ApplicationDescription"));
    RegistrySnapshot expected = {{"Software\\Kelvon\\Capabilities\\FileAssociations", ""}};
    std::vector<std::string> extensions = AllArchiveExtensions();
    for (auto extension = extensions.begin(); extension != extensions.begin() + 22; ++extension) {
        std::string type = *extension == ".zip" ? "Kelvon.ZIP" : "Kelvon";
        std::string data = "1:";
        for (char c : type + '\0') {
            char hex[4];
            std::snprintf(hex, sizeof(hex), "%02x", static_cast<unsigned char>(c));
            data += hex;
        }
        expected["Software\\Kelvon\\Capabilities\\FileAssociations|" + *extension] = data;
    }
    EXPECT_EQ(expected, TakeSnapshot(kMachine, {"Software\\Kelvon\\Capabilities\\FileAssociations"}));

    UpdateShellIntegration(true, IntegrationSettings{});
    EXPECT_EQ(kMissing, GetString(kMachine, "Software\\RegisteredApplications", "Kelvon"));
    EXPECT_FALSE(KeyExists(kMachine, "Software\\Kelvon"));
}

}  // namespace
