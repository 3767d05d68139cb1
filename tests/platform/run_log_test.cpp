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

// A forged value cannot start a line of its own; a text that does not fit is
// cut before an escape, never inside one.
TEST(EscapeLogText, WritesControlBytesAsEscapes) {
    const struct {
        const char* text;
        std::size_t capacity;
        const char* line;
        bool whole;
    } cases[] = {
        {"C:\\a b\\\xd6\xd0.txt", 64, "C:\\a b\\\xd6\xd0.txt", true},
        {"x\r\nresult: setup complete", 64, "x\\r\\nresult: setup complete", true},
        {"\t\x01\x1f\x7f\x80 ", 64, "\\t\\x01\\x1F\\x7F\x80 ", true},
        {"ab\n", 4, "ab", false},
        {"ab\x02", 7, "ab\\x02", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::string line(c.capacity + 1, '\xbd');
        EXPECT_EQ(c.whole, EscapeLogText(c.text, &line[0], c.capacity));
        EXPECT_EQ(c.line, std::string(line.c_str()));
        EXPECT_EQ('\xbd', line[c.capacity]);
    }
}

}  // namespace
