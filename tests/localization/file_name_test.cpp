#include "localization/file_name.h"

#include <gtest/gtest.h>

#include "platform/path_text.h"

namespace {

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

TEST_F(FileName, BackslashTrailBytesAreNotSeparators) {
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

}  // namespace
