// Each prefix runs this with the answers it must give in
// KELVON_EXPECT_VERSION and KELVON_EXPECT_WOW64.
#include "platform/system.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::string Expected(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

TEST(WinNT, ReportsTheFamilyAndVersion) {
    std::string version = Expected("KELVON_EXPECT_VERSION");
    ASSERT_FALSE(version.empty()) << "KELVON_EXPECT_VERSION not set";
    int expected = version == "win98" ? 0 : version == "winxp" ? 5 : 6;
    EXPECT_EQ(expected, WinNT());
    EXPECT_EQ(expected, WinNT());  // cached
}

TEST(IsWow64, TellsA32BitProcessOn64BitWindows) {
    std::string wow64 = Expected("KELVON_EXPECT_WOW64");
    ASSERT_FALSE(wow64.empty()) << "KELVON_EXPECT_WOW64 not set";
    EXPECT_EQ(wow64 == "1", IsWow64());
    EXPECT_EQ(wow64 == "1", IsWow64());
}

TEST(CompareNoCase, IgnoresLetterCase) {
    EXPECT_EQ(0, CompareNoCase("Kelvon.ZIP", "kelvon.zip"));
    EXPECT_EQ(0, CompareNoCase("", ""));
    EXPECT_EQ(-1, CompareNoCase("abc", "abd"));
    EXPECT_EQ(1, CompareNoCase("b", "A"));
    EXPECT_NE(0, CompareNoCase("Kelvon", "Kelvon.ZIP"));
}

TEST(WideToAnsi, ConvertsAndReportsFailure) {
    char buffer[8];
    EXPECT_TRUE(WideToAnsi(L"abc", buffer, sizeof(buffer)));
    EXPECT_STREQ("abc", buffer);
    EXPECT_FALSE(WideToAnsi(L"abcdefghij", buffer, 4));
}

}  // namespace
