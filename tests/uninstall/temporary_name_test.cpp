#include "uninstall/temporary_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Eight capital letters and digits, all of the random bits used; the unique
// program name; and what an interrupted uninstallation may leave beside the
// program, and what it never leaves.
TEST(UniqueNames, StemsAndWhatAnInterruptedUninstallLeaves) {
    char stem[kRandomStemLength + 1];
    FormRandomStem(2821109907455ull, stem);  // 36^8 - 1
    EXPECT_STREQ("99999999", stem);
    FormRandomStem(36ull * 36 * 36 * 36 * 36 * 36 * 36 * 11, stem);
    EXPECT_STREQ("AAAAAAAL", stem);
    char name[32];
    EXPECT_TRUE(FormUniqueProgramName("Uninstall.exe", stem, name, sizeof(name)));
    EXPECT_STREQ("Uninstall.exe.AAAAAAAL.old", name);
    EXPECT_FALSE(FormUniqueProgramName("Uninstall.exe", stem, name, 26));
    const struct { const char* name; bool unique, temporary; } cases[] = {
        {"Uninstall.exe.K3L9Q0ZA.old", true, false}, {"UNINSTALL.EXE.K3L9Q0ZA.old", true, false},
        {"Kelvon.exe.0.tmp", false, true},           {"vokext.dll.999.tmp", false, true},
        {"Uninstall.exe.K3L9Q0Z.old", false, false}, {"Uninstall.exe.k3l9q0za.old", false, false},
        {"Kelvon.exe.K3L9Q0ZA.old", false, false},   {"Kelvon.exe.1000.tmp", false, false},
        {"Kelvon.exe..tmp", false, false},           {".0.tmp", false, false},
        {"Uninstall.exe", false, false},             {"Kelvon.exe.0.tmp.bak", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.unique, IsUniqueProgramName("Uninstall.exe", c.name)) << c.name;
        EXPECT_EQ(c.temporary, IsTemporaryName(c.name)) << c.name;
    }
}

}  // namespace
