// The real program, started the way the removal script and a user start it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/dialog_driver.h"
#include "support/process.h"

namespace {

// The tests live in the build folder's tests/e2e; the program at its top.
std::string ProgramPath() {
    return TestProgramFolder() + "..\\..\\" KELVON_PROGRAM_NAME;
}

TEST(Program, WaitPausesTwoSecondsAndExitsWithZero) {
    StartedProgram program;
    DWORD start = GetTickCount();
    ASSERT_TRUE(StartProgram(ProgramPath(), "/wait", program));
    EXPECT_EQ(0u, program.WaitForExit(10000));
    DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 1900u);
    EXPECT_LT(elapsed, 6000u);
}

TEST(Program, OptionWithoutMeaningExitsAtOnce) {
    StartedProgram program;
    DWORD start = GetTickCount();
    ASSERT_TRUE(StartProgram(ProgramPath(), "/sx", program));
    EXPECT_EQ(0u, program.WaitForExit(10000));
    EXPECT_LT(GetTickCount() - start, 1500u);
}

TEST(Program, WarningShowsTheDeleteManuallyNotice) {
    if (GetACP() != 936) GTEST_SKIP() << "code page is " << GetACP() << ", not 936 (locale missing?)";
    StartedProgram program;
    ASSERT_TRUE(StartProgram(ProgramPath(), "/warning", program));
    HWND box = WaitForProcessWindow(program.info.dwProcessId, 10000);
    ASSERT_NE(nullptr, box) << "no message box appeared";
    EXPECT_EQ(FromUtf8("卸载 Kelvon", 936), WindowText(box));
    // The program names its own full path, as the system reports it.
    char fullPath[MAX_PATH];
    GetFullPathNameA(ProgramPath().c_str(), sizeof(fullPath), fullPath, nullptr);
    std::string expected = FromUtf8("卸载已完成\n你应该手动删除 ", 936) + fullPath;
    EXPECT_EQ(expected, MessageBoxText(box));
    EXPECT_EQ(STILL_ACTIVE, program.WaitForExit(0)) << "the program must wait for the box";
    PressButton(box, IDOK);
    EXPECT_EQ(0u, program.WaitForExit(10000));
}

}  // namespace
