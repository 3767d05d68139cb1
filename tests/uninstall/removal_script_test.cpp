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

}  // namespace
