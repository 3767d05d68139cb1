// The file object against Wine's real files, in a scratch folder of the temp
// directory that each test gets empty and leaves behind empty.
#include "platform/file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/system.h"
#include "support/scratch_folder.h"

namespace {

constexpr unsigned char kSentinel = 0xbd;
constexpr int kFileSize = 1000;

unsigned char PatternByte(int64_t position) {
    return static_cast<unsigned char>(position * 7 + 3);
}

class FileTest : public ::testing::Test {
protected:
    std::string PathOf(const char* name) const { return folder_.PathOf(name); }
    std::wstring WidePathOf(const wchar_t* name) const {
        return std::wstring(folder_.Path().begin(), folder_.Path().end()) + name;
    }

    // A file of kFileSize bytes following PatternByte.
    std::string MakeFile(const char* name) const {
        std::string path = PathOf(name);
        unsigned char bytes[kFileSize];
        for (int i = 0; i < kFileSize; ++i) bytes[i] = PatternByte(i);
        WriteBytes(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr), bytes,
                   sizeof(bytes));
        return path;
    }

    static void WriteBytes(HANDLE handle, const void* bytes, DWORD size) {
        ASSERT_NE(INVALID_HANDLE_VALUE, handle);
        DWORD written = 0;
        EXPECT_TRUE(WriteFile(handle, bytes, size, &written, nullptr));
        CloseHandle(handle);
    }

private:
    ScratchFolder folder_{"kelvon_file_test"};
};

bool InOpenFileTable(const File* file) {
    return std::count(std::begin(OpenFileTable), std::end(OpenFileTable), file) == 1;
}

TEST_F(FileTest, OpenReportsWhetherTheFileWasMissing) {
    File missing;
    EXPECT_FALSE(missing.Open(PathOf("missing.lng").c_str(), nullptr, false, false));
    EXPECT_EQ(1, missing.lastError);
    EXPECT_EQ(INVALID_HANDLE_VALUE, missing.handle);
    EXPECT_FALSE(InOpenFileTable(&missing));

    std::string path = MakeFile("locked.lng");
    HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    File locked;
    locked.lastError = 2;
    EXPECT_FALSE(locked.Open(path.c_str(), nullptr, false, false));
    EXPECT_EQ(0, locked.lastError);
    CloseHandle(holder);

    EXPECT_FALSE(locked.Open(nullptr, nullptr, false, false));
    EXPECT_EQ(0, locked.lastError);
}

TEST_F(FileTest, ReadSeekTellAndSize) {
    std::string path = MakeFile("catalog.lng");
    File file;
    ASSERT_TRUE(file.Open(path.c_str(), nullptr, false, false));
    EXPECT_TRUE(InOpenFileTable(&file));
    EXPECT_STREQ(path.c_str(), file.name);
    EXPECT_EQ(0, file.wideName[0]);
    EXPECT_FALSE(file.IsStream());

    unsigned char buffer[128];
    std::memset(buffer, kSentinel, sizeof(buffer));
    ASSERT_EQ(100, file.Read(buffer, 100));
    EXPECT_EQ(PatternByte(99), buffer[99]);
    EXPECT_EQ(kSentinel, buffer[100]);
    EXPECT_EQ(100, file.Tell());

    const struct {
        int64_t offset;
        DWORD method;
        bool moved;
        int64_t position;
    } cases[] = {
        {-16, FILE_CURRENT, true, 84},  {16, FILE_CURRENT, true, 116}, {0, FILE_CURRENT, true, 100},
        {5, FILE_BEGIN, true, 5},       {-16, FILE_END, true, 984},    {0, FILE_END, true, kFileSize},
        {-101, FILE_CURRENT, false, 100}, {-1001, FILE_END, false, 100}, {5000, FILE_BEGIN, true, 5000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.offset) + " from " + std::to_string(c.method));
        ASSERT_TRUE(file.Seek(100, FILE_BEGIN));
        EXPECT_EQ(c.moved, file.Seek(c.offset, c.method));
        EXPECT_EQ(c.position, file.Tell());
        EXPECT_EQ(kFileSize, file.QuerySize());
        EXPECT_EQ(c.position, file.Tell());  // QuerySize puts the position back
        if (c.position < kFileSize) {
            ASSERT_EQ(1, file.Read(buffer, 1));
            EXPECT_EQ(PatternByte(c.position), buffer[0]);
        }
    }

    ASSERT_TRUE(file.Seek(-10, FILE_END));
    EXPECT_EQ(10, file.Read(buffer, sizeof(buffer)));
    EXPECT_EQ(0, file.Read(buffer, sizeof(buffer)));  // the end, not a failure
    EXPECT_EQ(0, file.lastError);

    EXPECT_TRUE(file.Close());
    EXPECT_EQ(1, file.closeCount);
    EXPECT_FALSE(InOpenFileTable(&file));
    EXPECT_EQ(INVALID_HANDLE_VALUE, file.handle);
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(2, file.closeCount);
    // A closed file has no position or size to give, and reports none.
    EXPECT_EQ(-1, file.Tell());
    EXPECT_EQ(-1, file.QuerySize());
    EXPECT_TRUE(file.Seek(10, FILE_BEGIN));
}

// A handle opened for writing only makes every read fail for real.
TEST_F(FileTest, FailedReadInPiecesNeverExceedsTheRequest) {
    std::string path = MakeFile("broken.lng");
    const struct {
        unsigned char pieceWiseOnError;
        unsigned char reportErrors;
        int result;
    } cases[] = {{1, 1, 1000}, {0, 1, -1}, {1, 0, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.pieceWiseOnError) * 10 + c.reportErrors);
        File file;
        file.pieceWiseOnError = c.pieceWiseOnError;
        file.reportErrors = c.reportErrors;
        file.handle = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file.handle);
        unsigned char buffer[1100];
        std::memset(buffer, kSentinel, sizeof(buffer));
        EXPECT_EQ(c.result, file.Read(buffer, 1000));  // two pieces: 512 and 488
        EXPECT_EQ(2, file.lastError);
        if (c.result > 0) {
            EXPECT_TRUE(std::all_of(buffer, buffer + 1000, [](unsigned char b) { return b == 0; }));
        }
        EXPECT_TRUE(std::all_of(buffer + 1000, std::end(buffer), [](unsigned char b) { return b == kSentinel; }));
        EXPECT_TRUE(file.Close());
    }
}

TEST_F(FileTest, StandardInputEndsAtABrokenPipe) {
    HANDLE readEnd, writeEnd;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 0));
    WriteBytes(writeEnd, "hello", 5);  // closes the writing end
    HANDLE savedInput = GetStdHandle(STD_INPUT_HANDLE);
    SetStdHandle(STD_INPUT_HANDLE, readEnd);
    File input;
    input.handleKind = 1;
    char buffer[64];
    EXPECT_EQ(5, input.Read(buffer, 100000));
    EXPECT_EQ(0, std::memcmp("hello", buffer, 5));
    EXPECT_EQ(0, input.Read(buffer, sizeof(buffer)));
    SetStdHandle(STD_INPUT_HANDLE, savedInput);
    EXPECT_TRUE(input.Close());  // standard input is left open
    EXPECT_EQ(0, input.handleKind);
    EXPECT_EQ(1, input.closeCount);

    File pipe;
    pipe.handle = readEnd;
    EXPECT_TRUE(pipe.IsStream());
    EXPECT_TRUE(pipe.Close());
}

TEST_F(FileTest, RemoveAndRemoveOnDestroy) {
    std::string path = MakeFile("remove.lng");
    {
        File file;
        ASSERT_TRUE(file.Open(path.c_str(), nullptr, false, false));
        file.allowRemove = 0;
        EXPECT_FALSE(file.Remove());
        EXPECT_EQ(INVALID_HANDLE_VALUE, file.handle);  // closed all the same
        EXPECT_TRUE(FileExists(path.c_str(), nullptr));
        file.allowRemove = 1;
        EXPECT_TRUE(file.Remove());
        EXPECT_FALSE(FileExists(path.c_str(), nullptr));
    }
    path = MakeFile("kept.lng");
    const File* destroyed = nullptr;
    {
        File file;
        ASSERT_TRUE(file.Open(path.c_str(), nullptr, false, false));
        destroyed = &file;
    }
    EXPECT_TRUE(FileExists(path.c_str(), nullptr));
    EXPECT_FALSE(InOpenFileTable(destroyed));
    {
        File file;
        ASSERT_TRUE(file.Open(path.c_str(), nullptr, false, false));
        file.removeOnDestroy = 1;
    }
    EXPECT_FALSE(FileExists(path.c_str(), nullptr));
    EXPECT_FALSE(RemoveFile(path.c_str(), nullptr));
}

TEST_F(FileTest, FileExists) {
    std::string path = MakeFile("exists.lng");
    EXPECT_TRUE(FileExists(path.c_str(), nullptr));
    EXPECT_FALSE(FileExists(PathOf("missing.lng").c_str(), nullptr));
    EXPECT_TRUE(FileExists(PathOf("").c_str(), nullptr));  // the folder
    EXPECT_FALSE(FileExists(nullptr, nullptr));
}

// The wide name is used on the NT family only; Windows 95/98/Me take the
// ANSI one.
TEST_F(FileTest, WideNameOnTheNtFamily) {
    std::string ansiPath = MakeFile("ansi.lng");
    std::wstring widePath = WidePathOf(L"\x4e2d\x6587.lng");
    WriteBytes(CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr), "W", 1);

    File file;
    ASSERT_TRUE(file.Open(ansiPath.c_str(), widePath.c_str(), false, false));
    char first = 0;
    ASSERT_EQ(1, file.Read(&first, 1));
    EXPECT_EQ(WinNT() ? 'W' : static_cast<char>(PatternByte(0)), first);
    EXPECT_STREQ(ansiPath.c_str(), file.name);
    EXPECT_EQ(widePath, file.wideName);
    file.Close();

    // Windows 95/98/Me have no wide file functions.
    if (WinNT()) {
        File wideOnly;
        ASSERT_TRUE(wideOnly.Open(nullptr, widePath.c_str(), false, false));
        char expectedName[1024];
        ASSERT_TRUE(WideToAnsi(widePath.c_str(), expectedName, sizeof(expectedName)));
        EXPECT_STREQ(expectedName, wideOnly.name);
        EXPECT_TRUE(FileExists(nullptr, widePath.c_str()));
        EXPECT_TRUE(wideOnly.Remove());
        EXPECT_FALSE(FileExists(nullptr, widePath.c_str()));
        EXPECT_FALSE(RemoveFile(nullptr, widePath.c_str()));
    }
}

// A name longer than its field is refused before anything is opened.
TEST_F(FileTest, OverlongNamesAreRefused) {
    std::string longName = PathOf("") + std::string(1100, 'n');
    std::wstring longWideName(1100, L'n');
    File file;
    EXPECT_FALSE(file.Open(longName.c_str(), nullptr, false, false));
    EXPECT_FALSE(file.Open(nullptr, longWideName.c_str(), false, false));
    EXPECT_EQ(0, file.name[0]);
    EXPECT_EQ(0, file.wideName[0]);
    EXPECT_EQ(0, file.lastError);
    EXPECT_EQ(0, file.closeCount);

    // 600 double-byte characters fit the wide field but take 1200 ANSI bytes
    // (file_test_win32 runs in code page 936).
    CPINFO info;
    if (GetCPInfo(CP_ACP, &info) && info.MaxCharSize >= 2) {
        std::wstring doubleByteName(600, L'\x4e2d');
        EXPECT_FALSE(file.Open(nullptr, doubleByteName.c_str(), false, false));
        EXPECT_EQ(0, file.name[0]);
    }
}

TEST_F(FileTest, OpenFileTableHoldsAtMost256Files) {
    std::string path = MakeFile("shared.lng");
    std::vector<std::unique_ptr<File>> files;
    for (int i = 0; i <= kOpenFileTableSize; ++i) {
        files.push_back(std::make_unique<File>());
        ASSERT_TRUE(files.back()->Open(path.c_str(), nullptr, false, false)) << i;
    }
    for (int i = 0; i < kOpenFileTableSize; ++i) EXPECT_EQ(files[i].get(), OpenFileTable[i]);
    EXPECT_FALSE(InOpenFileTable(files.back().get()));
    files.front()->Close();
    EXPECT_EQ(nullptr, OpenFileTable[0]);
    files.clear();
    EXPECT_TRUE(std::all_of(std::begin(OpenFileTable), std::end(OpenFileTable), [](File* f) { return !f; }));
}

}  // namespace
