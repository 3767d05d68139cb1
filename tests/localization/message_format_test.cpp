#include "localization/message_format.h"

#include <gtest/gtest.h>

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

}  // namespace
