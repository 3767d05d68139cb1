// The uninstall of a program folder that holds links (planted by the
// plant-links driver): whatever a link leads to belongs to another program.
// The program runs from a link to its folder, as after a move to another
// drive through a junction; entries are judged from that folder down. The
// user's programs folder is redirected to one whose group "Kelvon" holds a
// link besides our own shortcut.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/process.h"

namespace {

DWORD Attributes(const std::string& path) {
    return GetFileAttributesA(path.c_str());
}

TEST(UninstallLinks, NothingIsDeletedThroughALink) {
    const std::string tree = TestProgramFolder() + "links\\";
    const std::string folder = tree + "Moved\\";
    const std::string programs = tree + "Programs";
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER,
                                           "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                                           &key));
    RegSetValueExA(key, "Programs", 0, REG_SZ, reinterpret_cast<const BYTE*>(programs.c_str()),
                   static_cast<DWORD>(programs.size() + 1));
    RegCloseKey(key);
    StartedProgram program;
    ASSERT_TRUE(StartProgram(folder + "Uninstall.exe", "/s", program));
    ASSERT_EQ(0u, program.WaitForExit(60000));
    for (DWORD waited = 0; Attributes(folder + "Uninstall.exe") != INVALID_FILE_ATTRIBUTES && waited < 60000;
         waited += 100) {
        Sleep(100);
    }
    // The program's own files go, the list and the program (by the script) too.
    for (const char* gone : {"Kelvon.exe", "Formats\\vok.fmt", "Formats", "Uninstall.lst", "Uninstall.exe"}) {
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, Attributes(folder + gone)) << gone;
    }
    // Every link stays, and so do the folders that hold one.
    for (const char* link : {"Themes\\Classic", "Skins"}) {
        DWORD attributes = Attributes(folder + link);
        EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) << link;
    }
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, Attributes(folder + "Themes"));
    // What the links lead to is untouched.
    for (const char* theirs : {"Classic\\theme.ini", "Skins", "OutG\\g.txt"}) {
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, Attributes(tree + "Shared\\" + theirs)) << theirs;
    }
    // Our shortcut goes from the group; the user's file and the link stay.
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, Attributes(programs + "\\Kelvon\\Kelvon.lnk"));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, Attributes(programs + "\\Kelvon\\mine.txt"));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, Attributes(programs + "\\Kelvon\\Inner"));
}

}  // namespace
