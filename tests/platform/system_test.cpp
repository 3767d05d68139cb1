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


// Libraries come from the system folder, whatever lies beside the program;
// a name too long for a path loads nothing.
TEST(LoadSystemLibrary, LoadsFromTheSystemFolder) {
    char folder[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryA(folder, sizeof(folder)), 0u);
    HMODULE library = LoadSystemLibrary("riched32.dll");
    ASSERT_NE(nullptr, library);
    char path[MAX_PATH];
    GetModuleFileNameA(library, path, sizeof(path));
    EXPECT_EQ(0, lstrcmpiA((std::string(folder) + "\\riched32.dll").c_str(), path));
    FreeLibrary(library);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(nullptr, LoadSystemLibrary(std::string(1024, 'x').c_str()));
    EXPECT_EQ(0xdeadbeefu, GetLastError()) << "no load was attempted";
}

}  // namespace
