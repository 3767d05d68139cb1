#include "uninstall/temporary_name.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// Eight capital letters and digits, and different bits give different names.
TEST(UniqueNames, RandomStemsOfLettersAndDigits) {
    std::set<std::string> stems;
    for (std::uint64_t bits : {0ull, 1ull, 35ull, 36ull, 0xFFFFFFFFFFFFFFFFull, 2821109907455ull}) {
        char stem[kRandomStemLength + 1];
        FormRandomStem(bits, stem);
        EXPECT_EQ(std::string::npos, std::string(stem).find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"));
        EXPECT_EQ(kRandomStemLength, std::string(stem).size());
        stems.insert(stem);
    }
    EXPECT_EQ(6u, stems.size());
    char name[32];
    ASSERT_TRUE(FormUniqueProgramName("Uninstall.exe", "K3L9Q0ZA", name, sizeof(name)));
    EXPECT_STREQ("Uninstall.exe.K3L9Q0ZA.old", name);
    EXPECT_FALSE(FormUniqueProgramName("Uninstall.exe", "K3L9Q0ZA", name, 26));
}

// What an interrupted uninstallation may leave beside the program, and what
// it never leaves.
TEST(UniqueNames, LeftByAnInterruptedUninstall) {
    const struct {
        const char* name;
        bool unique;
        bool temporary;
    } cases[] = {
        {"Uninstall.exe.K3L9Q0ZA.old", true, false},  {"UNINSTALL.EXE.K3L9Q0ZA.old", true, false},
        {"Kelvon.exe.0.tmp", false, true},            {"vokext.dll.999.tmp", false, true},
        {"Uninstall.exe.K3L9Q0Z.old", false, false},  {"Uninstall.exe.k3l9q0za.old", false, false},
        {"Kelvon.exe.K3L9Q0ZA.old", false, false},    {"Kelvon.exe.1000.tmp", false, false},
        {"Kelvon.exe..tmp", false, false},            {".0.tmp", false, false},
        {"Uninstall.exe", false, false},              {"Kelvon.exe.0.tmp.bak", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.unique, IsUniqueProgramName("Uninstall.exe", c.name)) << c.name;
        EXPECT_EQ(c.temporary, IsTemporaryName(c.name)) << c.name;
    }
}

}  // namespace
