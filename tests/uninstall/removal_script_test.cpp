#include "uninstall/removal_script.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Times(int count, const std::string& text) {
    std::string all;
    for (int i = 0; i < count; ++i) all += text;
    return all;
}

// Every "%" doubled; on the NT family the script runs only the copy beside
// it, deletes the program by its unique name with a pause between tries, and
// removes the copy, itself and its folder. The /warning run gets the log.
TEST(RemovalScript, BytesWithEveryPercentDoubled) {
    HandOver handOver = {"C:\\100%\\Uninstall.exe.K3L9Q0ZA.old", "C:\\100%", "C:\\T%MP%\\Q7\\Q7.BAT",
                         "C:\\T%MP%\\Q7\\Q7.EXE", "C:\\T%MP%\\Q7", 4242, 36, nullptr};
    const std::string program = "\"C:\\100%%\\Uninstall.exe.K3L9Q0ZA.old\"";
    const std::string copy = "\"C:\\T%%MP%%\\Q7\\Q7.EXE\"", script = "\"C:\\T%%MP%%\\Q7\\Q7.BAT\"";
    const std::string wait = copy + " /wait=4242\r\n";
    const std::string block = "del " + program + "\r\nrd \"C:\\100%%\"\r\nif not exist " + program + " goto done\r\n";
    const std::string ntBlock = "del " + program + "\r\nrd \"C:\\100%%\"\r\nif not exist \"C:\\100%%\" goto done\r\n";
    const struct {
        bool ntFamily;
        const char* log;
        std::string script;
    } cases[] = {
        {true, "C:\\T%MP%\\k 1&^.log",
         copy + " /wait=4242:36\r\n" + ntBlock + Times(4, wait + ntBlock) + ":done\r\nif exist " + program + " " + copy +
             " /warning /log=\"C:\\T%%MP%%\\k 1&^.log\"\r\ndel " + copy + "\r\ncd .. & del " + script +
             " & rd \"C:\\T%%MP%%\\Q7\""},
        {false, nullptr, "start /wait " + program + " /wait\r\n" + Times(5, block) + ":done\r\nif exist " + program +
                             " " + program + " /warning\r\ndel " + script},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ntFamily);
        handOver.log = c.log;
        EXPECT_EQ(c.script, FormRemovalScript(handOver, c.ntFamily));
    }
}

// No path reaches the NT family's command line, where quotes cannot guard
// "%" and a special character drops them.
TEST(RemovalScript, CommandLines) {
    const struct { bool ntFamily; std::size_t capacity; const char* expected; } cases[] = {  // null: does not fit
        {true, 64, "cmd.exe /d /v:off /c AB12CD34.BAT"},
        {false, 64, "C:\\W\\COMMAND.COM /c \"C:\\tmp&b (x)%OS%\\AB12CD34.BAT\""},
        {true, 33, nullptr}, {false, 20, nullptr},
    };
    for (const auto& c : cases) {
        char line[64];
        bool formed = FormScriptCommandLine("C:\\W\\COMMAND.COM", "C:\\tmp&b (x)%OS%\\AB12CD34.BAT", c.ntFamily, line,
                                            c.capacity);
        EXPECT_EQ(c.expected != nullptr, formed) << c.ntFamily << " " << c.capacity;
        if (c.expected && formed) {
            EXPECT_STREQ(c.expected, line);
        }
    }
}

}  // namespace
