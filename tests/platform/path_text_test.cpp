#include "platform/path_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr unsigned char kSentinel = 0xbd;

// Single-byte behaviour unless a test installs a double-byte table.
class PathText : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = LeadByteTable;
        LeadByteTable = {};
    }
    void TearDown() override { LeadByteTable = saved_; }

    // Code page 932's lead-byte ranges.
    static void UseShiftJisTable() {
        LeadByteTable.MultiByte = 1;
        for (int i = 0x81; i <= 0x9F; ++i) LeadByteTable.LeadByte[i] = 1;
        for (int i = 0xE0; i <= 0xFC; ++i) LeadByteTable.LeadByte[i] = 1;
    }

private:
    LeadByteTableData saved_;
};

TEST_F(PathText, PointToName) {
    const struct {
        const char* path;
        const char* name;
    } cases[] = {
        {"C:\\dir\\file.txt", "file.txt"}, {"C:file", "file"}, {"file", "file"},  {"", ""},
        {"dir/sub\\x", "x"},               {"C:\\dir\\", ""},  {"\\\\srv\\s\\f", "f"}, {"C:", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const char* name = PointToName(c.path);
        EXPECT_STREQ(c.name, name);
        EXPECT_EQ(std::strlen(c.path) - std::strlen(c.name), static_cast<size_t>(name - c.path));
    }
}

TEST_F(PathText, RemoveNameFromPath) {
    const struct {
        const char* path;
        const char* folder;
    } cases[] = {
        {"C:\\dir\\file", "C:\\dir"}, {"C:\\file", "C:\\"},  {"C:\\", "C:\\"},
        {"C:file", "C:"},             {"\\file", "\\"},      {"\\\\server\\share\\file", "\\\\server\\share"},
        {"a\\b", "a"},                {"file", ""},          {"C:\\dir\\", "C:\\dir"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        char buffer[64];
        std::strcpy(buffer, c.path);
        RemoveNameFromPath(buffer);
        EXPECT_STREQ(c.folder, buffer);
    }
}

TEST_F(PathText, AddEndSlash) {
    const struct {
        const char* path;
        const char* result;
    } cases[] = {
        {"C:\\dir", "C:\\dir\\"}, {"C:\\dir\\", "C:\\dir\\"}, {"", ""}, {"C:\\dir/", "C:\\dir/\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        char buffer[64];
        std::strcpy(buffer, c.path);
        EXPECT_TRUE(AddEndSlash(buffer, sizeof(buffer)));
        EXPECT_STREQ(c.result, buffer);
    }
}

TEST_F(PathText, AddEndSlashNeverWritesPastTheBuffer) {
    unsigned char buffer[8];
    std::memset(buffer, kSentinel, sizeof(buffer));
    std::memcpy(buffer, "C:\\ab", 6);  // 5 bytes and the terminator
    char* path = reinterpret_cast<char*>(buffer);
    EXPECT_FALSE(AddEndSlash(path, 6));
    EXPECT_STREQ("C:\\ab", path);
    EXPECT_EQ(kSentinel, buffer[6]);
    EXPECT_TRUE(AddEndSlash(path, 7));
    EXPECT_STREQ("C:\\ab\\", path);
    EXPECT_EQ(kSentinel, buffer[7]);
}

TEST_F(PathText, PointToLastChar) {
    const char* empty = "";
    EXPECT_EQ(empty, PointToLastChar(empty));
    const char* text = "abc";
    EXPECT_EQ(text + 2, PointToLastChar(text));
}

TEST_F(PathText, TrailBytesAreNeverSeparators) {
    UseShiftJisTable();
    // 0x95 0x5C is one character whose trail byte is a backslash.
    const char path[] = "C:\\d\\\x95\x5C";
    EXPECT_EQ(path + 5, PointToName(path));
    EXPECT_EQ(path + 5, PointToLastChar(path));
    char buffer[16];
    std::strcpy(buffer, path);
    EXPECT_TRUE(AddEndSlash(buffer, sizeof(buffer)));
    EXPECT_STREQ("C:\\d\\\x95\x5C\\", buffer);
    std::strcpy(buffer, path);
    RemoveNameFromPath(buffer);
    EXPECT_STREQ("C:\\d", buffer);
    // A lead byte as drive "letter" is not a drive.
    EXPECT_STREQ("\x95:x", PointToName("\x95:x"));
}

TEST_F(PathText, LeadByteBeforeTerminatorStopsAtTheEnd) {
    UseShiftJisTable();
    // The lead byte sits last, with sentinel bytes behind the terminator that a
    // two-byte step would walk into.
    char buffer[8];
    std::memset(buffer, '\\', sizeof(buffer));
    std::memcpy(buffer, "ab\x95", 4);
    EXPECT_EQ(buffer + 3, CharNextDbcs(buffer + 2));
    EXPECT_EQ(buffer, PointToName(buffer));
    EXPECT_EQ(buffer + 2, PointToLastChar(buffer));
    EXPECT_TRUE(AddEndSlash(buffer, sizeof(buffer)));
    EXPECT_STREQ("ab\x95\\", buffer);
}

TEST_F(PathText, ReplacePathName) {
    const struct {
        const char* path;
        std::size_t capacity;
        const char* name;
        const char* result;  // null: refused, path unchanged
    } cases[] = {
        {"C:\\Program Files\\Kelvon\\Uninstall.exe", 64, "Kelvon.exe", "C:\\Program Files\\Kelvon\\Kelvon.exe"},
        {"C:\\Uninstall.exe", 64, "zipnew.dat", "C:\\zipnew.dat"},
        {"C:u.exe", 64, "voknew.dat", "C:voknew.dat"},
        {"C:\\dir\\u", 17, "zipnew.dat", nullptr},  // 17 bytes and the terminator
        {"C:\\dir\\u", 18, "zipnew.dat", "C:\\dir\\zipnew.dat"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::vector<char> buffer(c.capacity + 4, static_cast<char>(kSentinel));
        std::strcpy(buffer.data(), c.path);
        bool done = ReplacePathName(buffer.data(), c.capacity, c.name);
        EXPECT_EQ(c.result != nullptr, done);
        EXPECT_STREQ(c.result ? c.result : c.path, buffer.data());
        for (std::size_t i = c.capacity; i < buffer.size(); ++i) {
            EXPECT_EQ(kSentinel, static_cast<unsigned char>(buffer[i]));
        }
    }
}

TEST_F(PathText, ContainsBackslashSkipsTrailBytes) {
    UseShiftJisTable();
    const struct {
        const char* name;
        bool backslash;
    } cases[] = {
        {"dir\\uninstall.lng", true}, {"\x83\x5c\\x", true},   {".\\a", true},
        {"\x83\x5cuninstall.lng", false}, {"uninstall.lng", false}, {"a/b", false},
        {"\x83", false},              {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.backslash, ContainsBackslash(c.name));
    }
}

TEST_F(PathText, StripTrailingSpaces) {
    const struct {
        const char* text;
        const char* result;
    } cases[] = {
        {"name \t\r\n", "name"}, {"   ", ""}, {"a b", "a b"}, {"", ""}, {"x\n \n", "x"},
    };
    for (const auto& c : cases) {
        char buffer[32];
        std::strcpy(buffer, c.text);
        EXPECT_EQ(buffer, StripTrailingSpaces(buffer));
        EXPECT_STREQ(c.result, buffer);
    }
}

TEST_F(PathText, CopyBounded) {
    unsigned char buffer[8];
    char* text = reinterpret_cast<char*>(buffer);
    std::memset(buffer, kSentinel, sizeof(buffer));
    CopyBounded(text, "abc", 0);
    EXPECT_EQ(kSentinel, buffer[0]);
    CopyBounded(text, "abc", 1);
    EXPECT_STREQ("", text);
    EXPECT_EQ(kSentinel, buffer[1]);
    CopyBounded(text, "abcdefgh", 6);
    EXPECT_STREQ("abcde", text);
    EXPECT_EQ(kSentinel, buffer[6]);
    CopyBounded(text, "ab", 6);  // strncpy zero-fills the rest
    EXPECT_EQ(0, std::memcmp(buffer, "ab\0\0\0\0", 6));
}

TEST_F(PathText, CopyWideIsBounded) {
    wchar_t buffer[4];
    EXPECT_TRUE(CopyWide(buffer, L"abc", 4));
    EXPECT_EQ(std::wstring(L"abc"), buffer);
    wchar_t small[4] = {1, 1, 1, 1};
    EXPECT_FALSE(CopyWide(small, L"abcd", 4));
    EXPECT_EQ(0, small[0]);
}

TEST_F(PathText, FormatIntoReportsWhetherTheTextFit) {
    unsigned char buffer[12];
    char* text = reinterpret_cast<char*>(buffer);
    std::memset(buffer, kSentinel, sizeof(buffer));
    EXPECT_TRUE(FormatInto(text, 10, "%s\\%s", "dir", "name"));
    EXPECT_STREQ("dir\\name", text);
    EXPECT_TRUE(FormatInto(text, 10, "%s", "123456789"));
    EXPECT_FALSE(FormatInto(text, 10, "%s", "1234567890"));
    EXPECT_STREQ("123456789", text);
    EXPECT_EQ(kSentinel, buffer[10]);
    EXPECT_FALSE(FormatInto(text, 0, "%s", "x"));
}

TEST_F(PathText, DropCutLeadByteKeepsWholeCharacters) {
    UseShiftJisTable();
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"ab\x83", "ab"},           // a lead byte whose trail was cut
        {"ab\x83\x5c", "ab\x83\x5c"},  // a whole character ending in 0x5C
        {"\x83\x83\x83", "\x83\x83"},   // lead, trail that is a lead value, cut lead
        {"\x83", ""},
        {"abc", "abc"},
        {"", ""},
    };
    for (const auto& c : cases) {
        char buffer[8];
        CopyBounded(buffer, c.text, sizeof(buffer));
        DropCutLeadByte(buffer);
        EXPECT_STREQ(c.expected, buffer) << c.text;
    }
}

}  // namespace
