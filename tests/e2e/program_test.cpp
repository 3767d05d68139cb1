// The real program, started the way the removal script and a user start it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/catalog_text.h"
#include "support/dialog_driver.h"
#include "support/process.h"
#include "support/scratch_folder.h"

namespace {

// The tests live in the build folder's tests/e2e; the program at its top.
std::string ProgramPath() {
    return TestProgramFolder() + "..\\..\\" KELVON_PROGRAM_NAME;
}

std::string Gbk(const char* utf8) {
    return FromUtf8(utf8, 936);
}

// Milliseconds from start to exit, which must come with `exitCode`.
DWORD RunTimed(const char* arguments, DWORD exitCode) {
    StartedProgram program;
    DWORD start = GetTickCount();
    EXPECT_TRUE(StartProgram(ProgramPath(), arguments, program));
    EXPECT_EQ(exitCode, program.WaitForExit(20000)) << arguments;
    return GetTickCount() - start;
}

// Starting a process under a loaded machine takes a varying while, so the
// pause is measured against a run that has none.
TEST(Program, WaitPausesTwoSecondsAndMeaninglessOptionsDoNot) {
    DWORD waited = RunTimed("/wait", 0);
    DWORD plain = RunTimed("/sx", 1639);
    EXPECT_GE(waited, 1900u);
    EXPECT_GE(waited, plain + 1500);
    EXPECT_LT(waited, plain + 8000);
}

TEST(Program, WarningShowsTheDeleteManuallyNotice) {
    if (GetACP() != 936) GTEST_SKIP() << "code page is " << GetACP() << ", not 936 (locale missing?)";
    StartedProgram program;
    ASSERT_TRUE(StartProgram(ProgramPath(), "/warning", program));
    HWND box = WaitForProcessWindow(program.info.dwProcessId, 20000);
    ASSERT_NE(nullptr, box) << "no message box appeared";
    EXPECT_EQ(FromUtf8("卸载 Kelvon", 936), WindowText(box));
    // The program names its own full path, as the system reports it.
    char fullPath[MAX_PATH];
    GetFullPathNameA(ProgramPath().c_str(), sizeof(fullPath), fullPath, nullptr);
    std::string expected = FromUtf8("卸载已完成\n你应该手动删除 ", 936) + fullPath;
    EXPECT_EQ(expected, MessageBoxText(box));
    EXPECT_EQ(STILL_ACTIVE, program.WaitForExit(0)) << "the program must wait for the box";
    EXPECT_TRUE(CloseWithButton(box, IDOK, 20000));
    EXPECT_EQ(0u, program.WaitForExit(20000));
}

// A copy of the program in a folder of its own, with the texts it finds
// beside itself: "uninstall.lng" and "voklng.dll".
TEST(Program, WarningFollowsTheCatalogAndTheLanguageLibraryBesideIt) {
    if (GetACP() != 936) GTEST_SKIP() << "code page is " << GetACP() << ", not 936 (locale missing?)";
    const std::string caption = Gbk("卸载 Kelvon");
    const std::string completed = Gbk("卸载已完成");
    const std::string deleteManually = Gbk("你应该手动删除 %s");
    const std::string translations = MessageEntry(caption, "Uninstall Kelvon") +
                                     MessageEntry(completed, "Uninstallation completed");
    const struct {
        const char* what;
        std::string catalog;  // empty: no catalog file
        bool library;
        const char* caption;  // null: the built-in texts
        const char* completed;
        const char* deleteManually;
    } cases[] = {
        {"built-in texts", "", false, nullptr, nullptr, nullptr},
        {"catalog", translations + MessageEntry(deleteManually, "You should delete %s manually"), false,
         "Uninstall Kelvon", "Uninstallation completed", "You should delete %s manually"},
        {"catalog with %d %s", translations + MessageEntry(deleteManually, "%d %s"), false, "Uninstall Kelvon",
         "Uninstallation completed", nullptr},
        {"catalog with two %s", translations + MessageEntry(deleteManually, "%s and %s"), false,
         "Uninstall Kelvon", "Uninstallation completed", nullptr},
        {"library with a %d format", "", true, "Library caption", "Library completed", nullptr},
        {"catalog over library", translations, true, "Uninstall Kelvon", "Uninstallation completed", nullptr},
    };
    ScratchFolder folder("kelvon_program_texts");
    const std::string program = folder.PathOf(KELVON_PROGRAM_NAME);
    ASSERT_TRUE(CopyFileA(ProgramPath().c_str(), program.c_str(), FALSE));
    const std::string library = TestProgramFolder() + "..\\localization\\language_library\\voklng.dll";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA(folder.PathOf("uninstall.lng").c_str());
        DeleteFileA(folder.PathOf("voklng.dll").c_str());
        if (!c.catalog.empty()) {
            ASSERT_TRUE(WriteBytes(folder.PathOf("uninstall.lng"), kCatalogMarkerLine + c.catalog));
        }
        if (c.library) {
            ASSERT_TRUE(CopyFileA(library.c_str(), folder.PathOf("voklng.dll").c_str(), FALSE));
        }
        MessageBoxSeen seen = RunToMessageBox(program, "/warning");
        std::string secondLine = c.deleteManually ? c.deleteManually : deleteManually;
        secondLine.replace(secondLine.find("%s"), 2, program);
        EXPECT_EQ(c.caption ? c.caption : caption, seen.caption);
        EXPECT_EQ((c.completed ? c.completed : completed) + "\n" + secondLine, seen.text);
    }
}

}  // namespace
