// A folder whose name the code page lacks a character of, beside the folder
// the lossy conversion would name instead ("Łab" and "Lab" in code page 1252,
// "a¥b" and "a\b" in 932): the exact ANSI form must reach the first.
#include "platform/ansi_path.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/path_text.h"

namespace {

bool SameObject(HANDLE a, HANDLE b) {
    BY_HANDLE_FILE_INFORMATION first, second;
    return GetFileInformationByHandle(a, &first) && GetFileInformationByHandle(b, &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber && first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

HANDLE OpenFolder(const char* ansi, const wchar_t* wide) {
    return ansi ? CreateFileA(ansi, 0, 7, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)
                : CreateFileW(wide, 0, 7, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

TEST(AnsiPath, TheExactFormNamesTheFolderItself) {
    const struct {
        UINT codePage;
        const wchar_t* name;
        const char* lookAlike;  // folders the lossy form names, outermost first
    } cases[] = {
        {1252, L"\u0141ab", "Lab"},
        {932, L"a\u00A5b", "a\0a\\b\0"},
    };
    wchar_t temp[MAX_PATH];
    ASSERT_NE(0u, GetTempPathW(MAX_PATH, temp));
    const std::wstring base = std::wstring(temp) + L"kelvon_ansi_path\\";
    bool tried = false;
    for (const auto& c : cases) {
        if (c.codePage != GetACP()) continue;
        tried = true;
        CreateDirectoryW(base.c_str(), nullptr);
        const std::wstring folder = base + c.name;
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        char baseAnsi[kPathSize];
        ASSERT_TRUE(ExactAnsiPath(base.c_str(), baseAnsi, sizeof(baseAnsi)));
        std::vector<std::string> lossy;
        for (const char* part = c.lookAlike; *part; part += std::strlen(part) + 1) {
            lossy.push_back(baseAnsi + std::string(part));
            CreateDirectoryA(lossy.back().c_str(), nullptr);
        }
        char ansi[kPathSize];
        ASSERT_TRUE(ExactAnsiPath(folder.c_str(), ansi, sizeof(ansi)));
        EXPECT_NE(lossy.back(), ansi);
        HANDLE byAnsi = OpenFolder(ansi, nullptr);
        HANDLE byWide = OpenFolder(nullptr, folder.c_str());
        EXPECT_TRUE(SameObject(byAnsi, byWide)) << ansi;
        CloseHandle(byAnsi);
        CloseHandle(byWide);
        // Too long for the buffer: refused, never cut.
        char small[8];
        std::memset(small, 0xbd, sizeof(small));
        EXPECT_FALSE(ExactAnsiPath(folder.c_str(), small, sizeof(small)));
        EXPECT_EQ('\0', small[0]);
        for (auto it = lossy.rbegin(); it != lossy.rend(); ++it) RemoveDirectoryA(it->c_str());
        RemoveDirectoryW(folder.c_str());
        RemoveDirectoryW(base.c_str());
    }
    if (!tried) GTEST_SKIP() << "no case for code page " << GetACP();
}

}  // namespace
