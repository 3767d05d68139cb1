#include "platform/run_log.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// A line ends in CR LF within its buffer, however long its text; one that
// did not fit says so instead of passing for whole.
TEST(EndLogLine, EndsEveryLineWithinItsBuffer) {
    const struct {
        std::size_t length;
        bool whole;
        const char* ending;
    } cases[] = {
        {0, true, "\r\n"},
        {20, true, "x\r\n"},
        {20, false, "x [cut]\r\n"},
        {kLogLineSize - 9, true, "x\r\n"},
        {kLogLineSize - 8, true, "x [cut]\r\n"},
        {kLogLineSize - 1, false, "x [cut]\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        char line[kLogLineSize + 1];
        std::memset(line, 0xbd, sizeof(line));
        std::memset(line, 'x', c.length);
        line[c.length] = '\0';
        std::size_t length = EndLogLine(line, kLogLineSize, c.whole);
        ASSERT_EQ(std::strlen(line), length);
        ASSERT_LT(length, kLogLineSize);
        EXPECT_EQ(std::string(c.ending), std::string(line).substr(length - std::strlen(c.ending)));
        EXPECT_EQ(static_cast<char>(0xbd), line[kLogLineSize]);
    }
}

}  // namespace
