// The uninstall while a folder of the program folder is flipped, about a
// thousand times a second, between the real folder and a link to another
// program's files (the race-links driver does the flipping): each check and
// deletion may meet either. Nothing the link leads to may ever go. Each
// uninstall works in a program folder of its own, which its removal script
// cannot remove while the flipped folder stands in it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/process.h"
#include "support/scratch_folder.h"

namespace {

constexpr int kVictims = 20;

std::string VictimName(int number) {
    return "victim" + std::to_string(number) + ".txt";
}

// Tells the driver which folder to flip ("" for none) and waits until it does.
bool Flip(const std::string& tree, const std::string& folder) {
    const std::string request = tree + "flip.tmp";
    if (!WriteBytes(request, folder) ||
        !MoveFileExA(request.c_str(), (tree + "flip.txt").c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return false;
    }
    for (DWORD waited = 0; waited < 20000; waited += 10) {
        if (ReadBytes(tree + "flipped.txt") == folder) return true;
        Sleep(10);
    }
    return false;
}

// The run's log, deleted once read: each uninstall writes one.
std::string UninstallLog(const std::string& temp) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((temp + "Kelvon uninstall*.log").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return "";
    std::string log = ReadBytes(temp + found.cFileName);
    FindClose(search);
    DeleteFileA((temp + found.cFileName).c_str());
    return log;
}

TEST(UninstallRace, NothingIsDeletedThroughAFolderSwappedForALink) {
    const std::string tree = TestProgramFolder() + "race\\";
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    const char* runs = std::getenv("KELVON_RACE_RUNS");
    const int uninstalls = runs ? std::atoi(runs) : 50;
    int deleted = 0;
    for (int run = 0; run < uninstalls; ++run) {
        SCOPED_TRACE("uninstall " + std::to_string(run));
        for (int number = 0; number < kVictims; ++number) {
            ASSERT_TRUE(WriteBytes(tree + "Shared\\" + VictimName(number), "theirs"));
        }
        const std::string name = "Kelvon" + std::to_string(run);
        const std::string folder = tree + name + "\\";
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA((folder + "sub").c_str(), nullptr));
        const std::string built = TestProgramFolder() + "..\\..\\Uninstall.exe";
        ASSERT_TRUE(CopyFileA(built.c_str(), (folder + "Uninstall.exe").c_str(), FALSE));
        std::string list;
        for (int number = 0; number < kVictims; ++number) {
            ASSERT_TRUE(WriteBytes(folder + "sub\\" + VictimName(number), "ours"));
            list += "sub\\" + VictimName(number) + "\r\n";
        }
        ASSERT_TRUE(WriteBytes(folder + "Uninstall.lst", list + "sub\r\n"));

        ASSERT_TRUE(Flip(tree, name + "/sub"));
        StartedProgram program;
        ASSERT_TRUE(StartProgram(folder + "Uninstall.exe", "/s /log", program));
        EXPECT_EQ(0u, program.WaitForExit(60000)) << UninstallLog(temp);
        ASSERT_TRUE(Flip(tree, ""));
        UninstallLog(temp);

        for (int number = 0; number < kVictims; ++number) {
            EXPECT_EQ("theirs", ReadBytes(tree + "Shared\\" + VictimName(number))) << VictimName(number);
            if (GetFileAttributesA((folder + "sub\\" + VictimName(number)).c_str()) == INVALID_FILE_ATTRIBUTES) {
                ++deleted;
            }
        }
        if (HasFailure()) break;
    }
    // The flipping may keep an uninstall from its folder, but not every one.
    EXPECT_GT(deleted, 0);
}

}  // namespace
