// The end of a GUI program whose out-of-memory error nobody catches: its code,
// not the runtime's abort() (code 3, possibly a message box).
#include <gtest/gtest.h>

#include "support/process.h"

namespace {

TEST(ErrorHandlerExit, UncaughtErrorEndsAGuiProgramQuietlyWithItsCode) {
    StartedProgram probe;
    ASSERT_TRUE(StartProgram(TestProgramFolder() + "raise_probe.exe", "", probe));
    DWORD code = probe.WaitForExit(30000);
    if (code == STILL_ACTIVE) TerminateProcess(probe.info.hProcess, 1);
    EXPECT_EQ(8u, code);
}

}  // namespace
