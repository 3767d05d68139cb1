#include "uninstall/removal_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/path_text.h"
#include "uninstall/program_folder.h"

namespace {

TEST(RemovalList, OnlyEntriesInsideTheFolder) {
    const struct {
        const char* entry;
        bool inside;
    } cases[] = {
        {"file.txt", true},        {"sub\\file.txt", true},   {"sub/deep\\x", true},     {"a\\..\\b", true},
        {".\\file", true},         {"sub\\.", true},          {"a\\b\\..\\..\\c", true}, {"sub\\\\file", true},
        {"file.", true},           {" lead", true},           {"a..b\\c", true},         {"..x", true},
        {"..", false},             {"..\\file", false},       {"../file", false},        {"a\\..\\..\\b", false},
        {"sub\\..\\..", false},    {"\\file", false},         {"/file", false},          {"\\\\server\\s\\f", false},
        {"C:\\file", false},       {"C:file", false},         {"file:stream", false},    {"...\\x", false},
        {"a\\. \\b", false},       {".. \\x", false},         {" ..\\x", false},         {"\\\\?\\C:\\x", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(c.inside, StaysInsideFolder(c.entry));
    }
}

// In code page 932 "\x81\x5c" is one character, whose trail byte has the
// value of a backslash: it starts no new component.
TEST(RemovalList, DoubleByteTrailBytesAreNoSeparators) {
    const char entry[] = "\x81\\..\\..\\x";
    EXPECT_FALSE(StaysInsideFolder(entry));  // single-byte: "\x81", "..", "..", "x" climbs out
    LeadByteTableData saved = LeadByteTable;
    LeadByteTable = {};
    LeadByteTable.MultiByte = 1;
    for (int i = 0x81; i <= 0x9F; ++i) LeadByteTable.LeadByte[i] = 1;
    EXPECT_TRUE(StaysInsideFolder(entry));  // "\x81\x5c..", "..", "x" stays inside
    // A lead byte before a byte that is no trail byte is refused however read.
    for (const char* malformed : {"\x81:\\x", "\x81/..\\..\\x", "a\\\x81.\\x"}) {
        EXPECT_FALSE(StaysInsideFolder(malformed)) << malformed;
    }
    LeadByteTable = saved;
}

// Each folder below the program folder that an entry lies in is looked at
// for a link; "." and ".." name no folder of their own, the program folder
// itself is not looked at.
TEST(RemovalList, FoldersOnTheWayBelowTheProgramFolder) {
    const struct {
        const char* path;
        std::vector<std::string> folders;
    } cases[] = {
        {"C:\\P\\file", {}},
        {"C:\\P\\a\\b/c\\file", {"C:\\P\\a", "C:\\P\\a\\b", "C:\\P\\a\\b/c"}},
        {"C:\\P\\a\\..\\.\\b\\\\f", {"C:\\P\\a", "C:\\P\\a\\..\\.\\b"}},
        {"C:\\P\\folder\\", {"C:\\P\\folder"}},
        {"C:\\P\\\x81\\\\f", {"C:\\P\\\x81"}},  // single-byte: "\x81" is a name of its own
    };
    for (const auto& c : cases) {
        std::vector<std::string> folders;
        for (std::size_t end : FoldersOnTheWay(c.path, 5)) folders.emplace_back(c.path, end);
        EXPECT_EQ(c.folders, folders) << c.path;
    }
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
    EXPECT_EQ(5u, list.refused.size());
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
