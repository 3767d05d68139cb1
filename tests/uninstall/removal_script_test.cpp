#include "uninstall/removal_script.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kBlock[] =
    "del \"C:\\100%%\\Uninstall.exe\"\r\n"
    "rd \"C:\\100%%\"\r\n"
    "if not exist \"C:\\100%%\\Uninstall.exe\" goto done\r\n";
const char kEnd[] =
    ":done\r\n"
    "if exist \"C:\\100%%\\Uninstall.exe\" \"C:\\100%%\\Uninstall.exe\" /warning\r\n"
    "del \"C:\\T%%MP%%\\Uninstall_Vok.Bat\"";

TEST(RemovalScript, BytesWithEveryPercentDoubled) {
    const std::string blocks = std::string(kBlock) + kBlock + kBlock + kBlock + kBlock;
    const struct {
        bool ntFamily;
        const char* firstLine;
    } cases[] = {
        {true, "\"C:\\100%%\\Uninstall.exe\" /wait\r\n"},
        {false, "start /wait \"C:\\100%%\\Uninstall.exe\" /wait\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ntFamily);
        EXPECT_EQ(c.firstLine + blocks + kEnd,
                  FormRemovalScript("C:\\100%\\Uninstall.exe", "C:\\100%", "C:\\T%MP%\\Uninstall_Vok.Bat", c.ntFamily));
    }
}

// A name taken already is never opened: the next number is tried.
TEST(RemovalScript, NamesInTurn) {
    char name[32];
    const char* expected[] = {"Uninstall_Vok.Bat", "Uninstall_Vok.1.Bat", "Uninstall_Vok.999.Bat"};
    const int numbers[] = {0, 1, 999};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(FormScriptName(numbers[i], name, sizeof(name)));
        EXPECT_STREQ(expected[i], name);
    }
    EXPECT_FALSE(FormScriptName(1, name, 19));
}

}  // namespace
