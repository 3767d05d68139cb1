#include "uninstall/removal_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/path_text.h"
#include "uninstall/program_folder.h"

namespace {

// One row per way a name could be read as another: each of these once
// deleted a file behind a link that the check had looked at under the
// other reading.
TEST(RemovalList, OnlyLiteralEntriesInsideTheFolder) {
    const struct {
        const char* entry;
        EntryCheck check;
    } cases[] = {
        {"file.txt", EntryCheck::Accepted}, {"sub\\file.txt", EntryCheck::Accepted},
        {"sub/deep\\x", EntryCheck::Accepted}, {"sub\\\\file", EntryCheck::Accepted},
        {"folder\\", EntryCheck::Accepted}, {" lead", EntryCheck::Accepted}, {"a..b\\c", EntryCheck::Accepted},
        {"..x", EntryCheck::Accepted}, {".hidden", EntryCheck::Accepted}, {"a b\\c d.txt", EntryCheck::Accepted},
        {"CONSOLE.txt", EntryCheck::Accepted}, {"COM10", EntryCheck::Accepted}, {"LPT", EntryCheck::Accepted},
        {"xcon\\nul2", EntryCheck::Accepted}, {"\\file", EntryCheck::Outside}, {"/file", EntryCheck::Outside},
        {"\\\\server\\s\\f", EntryCheck::Outside}, {"\\\\?\\C:\\x", EntryCheck::Outside},
        {"C:\\file", EntryCheck::Outside}, {"C:file", EntryCheck::Outside},
        {"sub \\victim1.txt", EntryCheck::Ambiguous}, {"dot..\\victim2.txt", EntryCheck::Ambiguous},
        {"CON\\victim.txt", EntryCheck::Ambiguous}, {"sub .\\victim.txt", EntryCheck::Ambiguous},
        {"x  \\victim.txt", EntryCheck::Ambiguous}, {"file.", EntryCheck::Ambiguous}, {"file ", EntryCheck::Ambiguous},
        {"con.txt\\x", EntryCheck::Ambiguous}, {"sub\\Nul .log", EntryCheck::Ambiguous}, {"aux", EntryCheck::Ambiguous},
        {"prn.x.y", EntryCheck::Ambiguous}, {"com1", EntryCheck::Ambiguous}, {"LPT9.dat", EntryCheck::Ambiguous},
        {"COM\xB9", EntryCheck::Ambiguous}, {"CONOUT$", EntryCheck::Ambiguous}, {"..", EntryCheck::Ambiguous},
        {"..\\file", EntryCheck::Ambiguous}, {"a\\..\\b", EntryCheck::Ambiguous}, {".\\file", EntryCheck::Ambiguous},
        {"...\\x", EntryCheck::Ambiguous}, {"file:stream", EntryCheck::Ambiguous}, {"a<b", EntryCheck::Ambiguous},
        {"a>b", EntryCheck::Ambiguous}, {"a\"b", EntryCheck::Ambiguous}, {"a|b", EntryCheck::Ambiguous},
        {"sub\\a?b", EntryCheck::Ambiguous}, {"*.txt", EntryCheck::Ambiguous}, {"tab\there", EntryCheck::Ambiguous},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(c.check, CheckEntry(c.entry));
    }
}

// In code page 932 "\x81\x5c" is one character, whose trail byte has the
// value of a backslash, and "\x81\x7c" one whose trail byte has the value of
// "|": neither starts a new part or is refused as a character.
TEST(RemovalList, DoubleByteTrailBytesAreNoSeparators) {
    const char entry[] = "\x81\\x\\\x81|";
    EXPECT_EQ(EntryCheck::Ambiguous, CheckEntry(entry));  // single-byte: "\x81", "x", "\x81|"
    LeadByteTableData saved = LeadByteTable;
    LeadByteTable = {};
    LeadByteTable.MultiByte = 1;
    for (int i = 0x81; i <= 0x9F; ++i) LeadByteTable.LeadByte[i] = 1;
    EXPECT_EQ(EntryCheck::Accepted, CheckEntry(entry));
    // A lead byte before a byte that is no trail byte is refused however read.
    for (const char* malformed : {"\x81:\\x", "\x81/x", "a\\\x81.\\x"}) {
        EXPECT_NE(EntryCheck::Accepted, CheckEntry(malformed)) << malformed;
    }
    LeadByteTable = saved;
}

TEST(RemovalList, ReadsEveryLineIntoAFullPath) {
    // "C:\Prog\" and this name are one byte too many for a path buffer.
    const std::string longName(kPathSize - 8, 'n');
    const std::string text = std::string("first.txt\r\n") +
                             "\r\n"
                             "   \t\r\n"
                             "sub\\trailing.txt \t\r\r\n"
                             " lead.txt\n"
                             "..\\outside.txt\n"
                             "sub .\\victim.txt\n"
                             "C:\\absolute.txt\n"
                             "\\\\server\\share\\x\n" +
                             longName.substr(1) + "\n" +  // fits with its terminator
                             longName + "\n" +            // one byte too many: refused, not cut
                             std::string(3000, 'x') + "\\tail.txt\n" +  // one entry, however long
                             std::string("zero\0ignored\n", 13) + "last";
    RemovalList list = ReadRemovalList(text, "C:\\Prog\\");
    const std::vector<std::string> expected = {
        "C:\\Prog\\first.txt", "C:\\Prog\\sub\\trailing.txt", "C:\\Prog\\ lead.txt",
        "C:\\Prog\\" + longName.substr(1), "C:\\Prog\\zero",  "C:\\Prog\\last",
    };
    EXPECT_EQ(expected, list.paths);
    EXPECT_EQ(6u, list.refused.size());
    for (const std::string& path : list.paths) EXPECT_LT(path.size(), kPathSize);
}

TEST(RemovalList, ProgramFolderKeepsADriveRoot) {
    const struct {
        const char* program;
        std::size_t capacity;
        const char* folder;  // null: none
    } cases[] = {
        {"C:\\Program Files\\Kelvon\\Uninstall.exe", kPathSize, "C:\\Program Files\\Kelvon"},
        {"D:\\Uninstall.exe", kPathSize, "D:\\"},
        {"\\\\server\\share\\Uninstall.exe", kPathSize, "\\\\server\\share"},
        {"C:/dir/Uninstall.exe", kPathSize, nullptr},  // no backslash
        {"C:\\abcd\\x", 8, "C:\\abcd"},
        {"C:\\abcde\\x", 8, nullptr},  // one byte too long
    };
    for (const auto& c : cases) {
        char folder[kPathSize] = "";
        EXPECT_EQ(c.folder != nullptr, ProgramFolderOf(c.program, folder, c.capacity)) << c.program;
        EXPECT_STREQ(c.folder ? c.folder : "", folder);
    }
}

}  // namespace
