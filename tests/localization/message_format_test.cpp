#include "localization/message_format.h"

#include <gtest/gtest.h>

#include <cstring>

#include "localization/file_name.h"
#include "platform/path_text.h"

namespace {

TEST(MessageFormat, OnlyExactlyOneStringConversion) {
    const struct {
        const char* text;
        bool safe;
    } cases[] = {
        {"You should delete %s manually", true}, {"%s", true},       {"100%% sure: %s", true},
        {"%s %%", true},                         {"", false},        {"no conversion", false},
        {"%d %s", false},                        {"%s %s", false},   {"%n%s", false},
        {"%-20s", false},                        {"%.5s", false},    {"%ls", false},
        {"%s %", false},                         {"%", false},       {"%%s", false},
        {"%S", false},                           {"%s%p", false},    {"\xc4\xe3%s", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.safe, IsSingleStringFormat(c.text));
    }
}

class FileName : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = LeadByteTable;
        LeadByteTable = {};
        // Code page 932, whose trail bytes include the backslash's value.
        LeadByteTable.MultiByte = 1;
        for (int i = 0x81; i <= 0x9F; ++i) LeadByteTable.LeadByte[i] = 1;
        for (int i = 0xE0; i <= 0xFC; ++i) LeadByteTable.LeadByte[i] = 1;
    }
    void TearDown() override { LeadByteTable = saved_; }

private:
    LeadByteTableData saved_;
};

TEST_F(FileName, ReplaceFileNameRefusesWhatDoesNotFit) {
    const struct {
        const char* path;
        std::size_t capacity;
        const char* result;  // the path unchanged when refused
        bool fits;
    } cases[] = {
        {"C:\\prog\\Uninstall.exe", 64, "C:\\prog\\voklng.dll", true},
        {"C:\\prog\\", 64, "C:\\prog\\voklng.dll", true},
        {"voklng", 64, "voklng.dll", true},
        {"C:\\\x83\x5c\\a.exe", 64, "C:\\\x83\x5c\\voklng.dll", true},
        {"C:\\\x83\x5c", 64, "C:\\voklng.dll", true},
        {"C:\\p\\a", 15, "C:\\p\\a", false},
        {"C:\\p\\a", 16, "C:\\p\\voklng.dll", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        char buffer[80];
        std::memset(buffer, 0xbd, sizeof(buffer));
        std::strcpy(buffer, c.path);
        EXPECT_EQ(c.fits, ReplaceFileName(buffer, c.capacity, "voklng.dll"));
        EXPECT_STREQ(c.result, buffer);
        EXPECT_EQ(0xbd, static_cast<unsigned char>(buffer[c.capacity]));
    }
}

TEST_F(FileName, BackslashTrailBytesAreNotSeparators) {
    EXPECT_TRUE(ContainsBackslash("dir\\uninstall.lng"));
    EXPECT_TRUE(ContainsBackslash("\x83\x5c\\x"));
    EXPECT_FALSE(ContainsBackslash("\x83\x5cuninstall.lng"));
    EXPECT_FALSE(ContainsBackslash("uninstall.lng"));
}

}  // namespace
