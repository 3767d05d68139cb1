#include "uninstall/script_start.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/path_text.h"

namespace {

// On the NT family always the system's own, which an unelevated process
// cannot change; on Windows 95, 98 and Me COMSPEC when it names something.
TEST(CommandInterpreter, ComspecOrTheSystemsOwn) {
    const bool ntFamily = std::getenv("KELVON_EXPECT_NT")[0] == '1';
    const std::string own = ntFamily ? "C:\\windows\\system32\\cmd.exe" : "C:\\windows\\command.com";
    const std::string tooLong(kPathSize, 'x');
    const struct {
        const char* comspec;  // null: not set
        std::string expected;
    } cases[] = {
        {"D:\\bin\\sh.exe", ntFamily ? own : "D:\\bin\\sh.exe"}, {nullptr, own}, {"", own}, {tooLong.c_str(), own}};
    char path[kPathSize];
    for (const auto& c : cases) {
        SetEnvironmentVariableA("COMSPEC", c.comspec);
        ASSERT_TRUE(CommandInterpreter(path, sizeof(path)));
        EXPECT_EQ(c.expected, path);
    }
    EXPECT_FALSE(CommandInterpreter(path, 12));
}

}  // namespace
