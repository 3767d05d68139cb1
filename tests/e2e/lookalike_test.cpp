// The program in a folder whose name the code page lacks a letter of, beside
// the look-alike folder the ANSI calls would name instead ("C:\Łab" and
// "C:\Lab" in code page 1252, "C:\a¥b" and "C:\a\b" in 932), which another
// user planted with a list and a program of its own: the uninstall removes
// what the true folder's list names and leaves the look-alike alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/process.h"
#include "support/scratch_folder.h"

namespace {

bool WriteWide(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    bool whole = file != INVALID_HANDLE_VALUE && WriteFile(file, bytes.data(), bytes.size(), &written, nullptr) &&
                 written == bytes.size();
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return whole;
}

TEST(LookAlikeFolder, OnlyTheTrueFolderIsUninstalled) {
    const struct {
        UINT codePage;
        const wchar_t* folder;
        const char* lookAlike;  // folders to make, outermost first
    } cases[] = {
        {1252, L"C:\\\u0141ab", "C:\\Lab\0C:\\Lab\\Kelvon\0"},
        {932, L"C:\\a\u00A5b", "C:\\a\0C:\\a\\b\0C:\\a\\b\\Kelvon\0"},
    };
    for (const auto& c : cases) {
        if (c.codePage != GetACP()) continue;
        const std::wstring folder = std::wstring(c.folder) + L"\\Kelvon\\";
        CreateDirectoryW(c.folder, nullptr);
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        std::string lookAlike;
        for (const char* part = c.lookAlike; *part; part += std::strlen(part) + 1) {
            lookAlike = part;
            CreateDirectoryA(part, nullptr);
        }
        lookAlike += "\\";
        const std::string built = TestProgramFolder() + "..\\..\\Uninstall.exe";
        for (const char* name : {"Uninstall.exe", "ours.txt"}) {
            ASSERT_TRUE(CopyFileA(built.c_str(), (lookAlike + name).c_str(), FALSE));
        }
        ASSERT_TRUE(WriteBytes(lookAlike + "Uninstall.lst", "ours.txt\r\n"));
        std::wstring builtWide(built.begin(), built.end());
        ASSERT_TRUE(CopyFileW(builtWide.c_str(), (folder + L"Uninstall.exe").c_str(), FALSE));
        ASSERT_TRUE(WriteWide(folder + L"ours.txt", "ours"));
        ASSERT_TRUE(WriteWide(folder + L"Uninstall.lst", "ours.txt\r\n"));

        std::wstring command = L"\"" + folder + L"Uninstall.exe\" /s";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                   &process));
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 60000));
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        Sleep(5000);  // the removal script, if one runs, deletes the program by its short path

        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((folder + L"ours.txt").c_str()));
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((folder + L"Uninstall.lst").c_str()));
        for (const char* name : {"Uninstall.exe", "ours.txt", "Uninstall.lst"}) {
            EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((lookAlike + name).c_str())) << name;
        }
        return;
    }
    GTEST_SKIP() << "no case for code page " << GetACP();
}

}  // namespace
