// Runs with LANG=ja_JP.UTF-8: Wine's ANSI code page is then 932, whose trail
// bytes include the backslash.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "platform/path_text.h"

namespace {

TEST(PathDbcs, TableIsBuiltFromTheCodePage) {
    if (GetACP() != 932) GTEST_SKIP() << "code page is " << GetACP() << ", not 932 (locale missing?)";
    EXPECT_EQ(1, LeadByteTable.MultiByte);
    EXPECT_EQ(1, LeadByteTable.LeadByte[0x95]);
    EXPECT_EQ(1, LeadByteTable.LeadByte[0xE0]);
    EXPECT_EQ(0, LeadByteTable.LeadByte['\\']);
    EXPECT_EQ(0, LeadByteTable.LeadByte[0xA5]);  // half-width katakana are single bytes
}

TEST(PathDbcs, TrailByteBackslashIsPartOfTheName) {
    if (GetACP() != 932) GTEST_SKIP() << "code page is " << GetACP() << ", not 932 (locale missing?)";
    // 0x95 0x5C is one kanji; the folder's name is that kanji.
    char path[64] = "C:\\\x95\x5C\\\x83\x5C\x83\x74\x83\x67.txt";
    EXPECT_STREQ("\x83\x5C\x83\x74\x83\x67.txt", PointToName(path));
    char folder[64] = "C:\\dir\\\x95\x5C";
    EXPECT_EQ(folder + 7, PointToLastChar(folder));
    EXPECT_TRUE(AddEndSlash(folder, sizeof(folder)));
    EXPECT_STREQ("C:\\dir\\\x95\x5C\\", folder);
    char file[64] = "C:\\dir\\\x95\x5C";
    RemoveNameFromPath(file);
    EXPECT_STREQ("C:\\dir", file);
    // What the system itself makes of the same path agrees.
    char full[MAX_PATH];
    char* systemName = nullptr;
    ASSERT_NE(0u, GetFullPathNameA(path, sizeof(full), full, &systemName));
    EXPECT_STREQ(systemName, PointToName(full));
}

}  // namespace
