// The uninstall road of the real program in a real program folder: what the
// list names goes, what must stay stays, files in use go at the restart, and
// the removal script deletes the program, its folder and itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cstdlib>
#include <sstream>
#include <set>
#include <string>
#include <vector>

#include "support/catalog_text.h"
#include "support/dialog_driver.h"
#include "support/process.h"
#include "support/scratch_folder.h"
#include "uninstall/removal_script.h"

namespace {

std::string Gbk(const char* utf8) {
    return FromUtf8(utf8, 936);
}

std::string TempPath(const char* name) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    return std::string(temp) + name;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The settings key stands for the whole integration, which goes with it.
bool SettingsKeyExists() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Kelvon", 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

struct Item {
    const char* entry;  // ending in a backslash: a folder
    DWORD attributes;
};

// A copy of the program in a folder of its own under the temp folder. The
// name holds "%OS%": unless the script doubles the "%", the command
// interpreter puts its own text there and deletes nothing.
class ProgramFolder {
public:
    explicit ProgramFolder(const std::string& built = BuiltProgram()) : path_(TempPath("kelvon 100%OS% program\\")) {
        RemoveFolder(path_);
        CreateDirectoryA(path_.c_str(), nullptr);
        EXPECT_TRUE(CopyFileA(built.c_str(), Program().c_str(), FALSE));
        RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Kelvon", &key_);
    }
    ~ProgramFolder() {
        RemoveFolder(path_);
        RegCloseKey(key_);
    }

    static std::string BuiltProgram() { return TestProgramFolder() + "..\\..\\" KELVON_PROGRAM_NAME; }
    // Built to find its window station invisible.
    static std::string UnseenProgram() { return TestProgramFolder() + "unseen\\" KELVON_PROGRAM_NAME; }
    std::string Of(const std::string& entry) const { return path_ + entry; }
    std::string Program() const { return Of(KELVON_PROGRAM_NAME); }
    // As the current directory reports it: no trailing backslash.
    std::string Folder() const { return path_.substr(0, path_.size() - 1); }

    void Make(const std::vector<Item>& items) const {
        for (const Item& item : items) {
            std::string path = Of(item.entry);
            EXPECT_TRUE(path.back() == '\\' ? CreateDirectoryA(path.c_str(), nullptr) : WriteBytes(path, "x")) << path;
            SetFileAttributesA(path.c_str(), item.attributes);
        }
    }
    void WriteList(const std::vector<std::string>& lines) const {
        std::string text;
        for (const std::string& line : lines) text += line + "\r\n";
        EXPECT_TRUE(WriteBytes(Of("Uninstall.lst"), text));
    }

private:
    std::string path_;
    HKEY key_ = nullptr;
};

struct Box {
    std::string text;
    int button;
};

// Runs the program and answers the boxes it shows, in this order, each with
// the uninstaller's caption. No other box may appear: the program must end,
// with `exitCode`.
void RunProgram(const ProgramFolder& folder, const char* arguments, const std::vector<Box>& boxes,
                DWORD exitCode = 0) {
    StartedProgram program;
    ASSERT_TRUE(StartProgram(folder.Program(), arguments, program));
    for (const Box& expected : boxes) {
        HWND box = WaitForProcessWindow(program.info.dwProcessId, 20000);
        ASSERT_TRUE(box) << "no box with " << expected.text;
        EXPECT_EQ(Gbk("卸载 Kelvon"), WindowText(box));
        EXPECT_EQ(expected.text, MessageBoxText(box));
        ASSERT_TRUE(CloseWithButton(box, expected.button, 20000)) << "the box stayed: " << expected.text;
    }
    DWORD code = program.WaitForExit(60000);
    EXPECT_EQ(exitCode, code) << "the program did not end (another box?)";
    if (code == STILL_ACTIVE) TerminateProcess(program.info.hProcess, 1);
}

// The names in a folder that match a pattern ("*" for all).
std::set<std::string> Listing(const std::string& folder, const char* pattern = "*") {
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (std::strcmp(found.cFileName, ".") && std::strcmp(found.cFileName, "..")) names.insert(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// The script deletes the program file, under whatever name the program gave
// itself, then itself. When it cannot, it starts the program with /warning,
// whose notice is closed here.
bool WaitForRemovalScript(const ProgramFolder& folder, const std::string& script = TempPath(kRemovalScriptName)) {
    for (DWORD waited = 0; waited < 60000; waited += 100) {
        if (!Exists(script) && Listing(folder.Of(""), KELVON_PROGRAM_NAME "*").empty()) return true;
        Sleep(100);
    }
    if (HWND warning = FindWindowA(nullptr, Gbk("卸载 Kelvon").c_str())) CloseWithButton(warning, IDOK, 20000);
    return false;
}

// Nothing in `folder` beyond `before` but empty folders: Wine's cmd.exe
// keeps its batch file open until it ends (Windows' closes it between
// lines), so the script's folder, which its last line removes, stays here.
bool NothingNewIn(const std::string& folder, const std::set<std::string>& before) {
    for (const std::string& name : Listing(folder)) {
        bool emptyFolder = (GetFileAttributesA((folder + name).c_str()) & FILE_ATTRIBUTE_DIRECTORY) &&
                           Listing(folder + name + "\\").empty();
        if (!before.count(name) && !emptyFolder) return false;
    }
    return true;
}

// Rewrites every batch file that appears in the user's temp folder, as a
// process without our rights could: a line that leaves `mark` follows the
// first line. Runs in a thread of its own until `stop` is set.
struct BatchRewriter {
    std::string mark;
    volatile LONG stop = 0;
    static DWORD WINAPI Run(void* self) {
        auto* rewriter = static_cast<BatchRewriter*>(self);
        const std::string folder = TempPath("");
        std::set<std::string> seen = Listing(folder, "*.bat");
        for (; !rewriter->stop; Sleep(5)) {
            for (const std::string& name : Listing(folder, "*.bat")) {
                std::string script = ReadBytes(folder + name);
                std::size_t line = script.find("\r\n");
                if (seen.count(name) || line == std::string::npos) continue;
                script.insert(line + 2, "echo injected> \"" + rewriter->mark + "\"\r\n");
                // Shared as the interpreter shares it; longer, so nothing is left over.
                HANDLE file = CreateFileA((folder + name).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, 0, nullptr);
                DWORD size = static_cast<DWORD>(script.size()), written = 0;
                if (WriteFile(file, script.data(), size, &written, nullptr)) seen.insert(name);
                CloseHandle(file);
            }
        }
        return 0;
    }
};

// The script's interpreter is a relay that records how it was started and
// what it was given before it runs the system's cmd.exe.
class Uninstall : public ::testing::Test {
protected:
    void SetUp() override {
        if (GetACP() != 936) GTEST_SKIP() << "code page is " << GetACP() << ", not 936 (locale missing?)";
        SetEnvironmentVariableA("KELVON_RELAY_RECORD", record_.Path().c_str());
        GetEnvironmentVariableA("COMSPEC", systemInterpreter_, sizeof(systemInterpreter_));
        SetEnvironmentVariableA("COMSPEC", relay_.c_str());
    }
    void TearDown() override {
        SetEnvironmentVariableA("COMSPEC", systemInterpreter_);
        SetEnvironmentVariableA("KELVON_RELAY_RUN", nullptr);
    }

    // How Windows 95, 98 and Me start the script: COMSPEC, detached, with
    // its standard output on NUL, in the parent of the program folder.
    void ExpectWin9xScriptStarted(const ProgramFolder& folder) {
        const std::string script = TempPath(kRemovalScriptName);
        const std::string copy = record_.PathOf("script.bat");
        const std::string program = folder.Program();
        const std::string programFolder = folder.Folder();
        const HandOver handOver = {program.c_str(), programFolder.c_str(), script.c_str(), nullptr, nullptr, 0, 0,
                                   nullptr};
        EXPECT_EQ(FormRemovalScript(handOver, false), ReadBytesOnceThere(copy, 20000));
        std::istringstream started(ReadBytes(record_.PathOf("started.txt")));
        std::string commandLine, flags, current;
        std::getline(started, commandLine);
        std::getline(started, flags);
        std::getline(started, current);
        EXPECT_EQ(relay_ + " /c \"" + script + "\"", commandLine);
        EXPECT_EQ(0u, flags.rfind("256 0 2", 0)) << flags;
        EXPECT_EQ(TempPath(""), current + "\\") << "not the parent of the program folder";
        DeleteFileA(copy.c_str());
    }

    ScratchFolder record_{"kelvon_relay"};
    const std::string relay_ = TestProgramFolder() + "comspec_relay.exe";
    char systemInterpreter_[MAX_PATH] = "";
};

TEST_F(Uninstall, RemovesWhatTheListNamesInAnyOrder) {
    const std::vector<Item> tree = {
        {"bin\\", 0},
        {"bin\\Kelvon.exe", 0},
        {"bin\\readonly.dll", FILE_ATTRIBUTE_READONLY},
        {"bin\\hidden.dat", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
        {"bin\\deep\\", FILE_ATTRIBUTE_READONLY},
        {"bin\\deep\\er\\", 0},
        {"bin\\deep\\er\\file.txt", 0},
        {"docs\\", 0},
        {"docs\\readme.txt", 0},
        {"trail.txt", 0},
        {" lead.txt", 0},
        {"kelvon.gid", FILE_ATTRIBUTE_HIDDEN},  // written by the help viewer, never listed
    };
    const std::vector<Item> unlisted = {{"lead.txt", 0}, {"docs\\unlisted.txt", 0}};
    // A file outside the program folder, named relatively and absolutely.
    const std::string outside = TempPath("kelvon_outside.txt");
    const std::vector<std::string> files = {
        "bin\\Kelvon.exe", "bin\\readonly.dll\t", "bin\\hidden.dat", "bin\\deep\\er\\file.txt", "docs\\readme.txt",
        "trail.txt \t\r",  " lead.txt",           KELVON_PROGRAM_NAME, "..\\kelvon_outside.txt", outside,
    };
    const std::vector<std::string> foldersDeepestFirst = {"bin\\deep\\er", "bin\\deep", "bin", "docs"};
    enum Order { FilesFirst, FoldersFirst, Reversed };
    const struct {
        const char* what;
        Order order;
        const char* arguments;  // without /s the confirmation is answered Yes
        bool unlisted;
    } cases[] = {
        {"files first", FilesFirst, "/s", false},
        {"folders first, confirmed", FoldersFirst, "", false},
        {"reversed, with unlisted files", Reversed, "/s", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramFolder folder;
        folder.Make(tree);
        if (c.unlisted) folder.Make(unlisted);
        ASSERT_TRUE(WriteBytes(outside, "outside"));
        std::vector<std::string> list = c.order == FoldersFirst ? std::vector<std::string>() : files;
        list.insert(list.end(), foldersDeepestFirst.begin(), foldersDeepestFirst.end());
        if (c.order == FoldersFirst) {
            std::reverse(list.begin(), list.end());
            list.insert(list.end(), files.begin(), files.end());
        }
        if (c.order == Reversed) std::reverse(list.begin(), list.end());
        folder.WriteList(list);

        std::vector<Box> boxes;
        if (!*c.arguments) boxes.push_back({Gbk("确实要卸载 Kelvon 吗?"), IDYES});
        RunProgram(folder, c.arguments, boxes);
        for (const Item& item : tree) {
            EXPECT_EQ(c.unlisted && std::string(item.entry) == "docs\\", Exists(folder.Of(item.entry))) << item.entry;
        }
        for (const Item& item : unlisted) EXPECT_EQ(c.unlisted, Exists(folder.Of(item.entry))) << item.entry;
        EXPECT_FALSE(Exists(folder.Of("Uninstall.lst")));
        EXPECT_EQ("outside", ReadBytes(outside));
        EXPECT_FALSE(SettingsKeyExists()) << "the integration was not removed";
        EXPECT_TRUE(WaitForRemovalScript(folder));
        for (DWORD waited = 0; !c.unlisted && Exists(folder.Folder()) && waited < 20000; waited += 100) Sleep(100);
        EXPECT_EQ(c.unlisted, Exists(folder.Folder()));
    }
    DeleteFileA(outside.c_str());
}

// Once the program has ended, nothing another process can change runs with
// its rights, and nothing of it acts on a name that the next version may
// have used again: a process rewriting every new batch file in the user's
// temp folder injects nothing; a temp folder whose path holds "(", "&", "^"
// or "%" (where the program runs unelevated and its script goes there) is no
// hindrance; the next version's files, put in place the moment the process
// ended, stay, and its program file, in use and never run, brings no notice.
// An uninstallation interrupted after its list was gone is finished the
// same way, with the unique name an earlier run left.
TEST_F(Uninstall, HandOverOutOfReach) {
    const struct {
        const char* temp;  // null: elevated, with the script in the system's Temp folder
        bool interrupted;
    } cases[] = {{nullptr, false},           {"C:\\tmp (x)", false}, {"C:\\tmp&b", false},
                 {"C:\\tmp^x", false},        {"C:\\tmp%OS%", false}, {nullptr, true}};
    const std::string unelevated = TestProgramFolder() + "unelevated\\" KELVON_PROGRAM_NAME;
    const std::string caption = Gbk("卸载 Kelvon");
    // COMSPEC as the system has it: the relay's record means a new program file ran.
    SetEnvironmentVariableA("COMSPEC", systemInterpreter_);
    char temp[MAX_PATH] = "";
    GetEnvironmentVariableA("TEMP", temp, sizeof(temp));
    auto setTemp = [](const char* v) { SetEnvironmentVariableA("TMP", v), SetEnvironmentVariableA("TEMP", v); };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.temp ? c.temp : c.interrupted ? "interrupted" : "elevated");
        ProgramFolder folder;
        if (c.temp) {
            ASSERT_TRUE(CopyFileA(unelevated.c_str(), folder.Program().c_str(), FALSE));
        }
        // A file waiting for the restart stays, and the folder with it.
        std::set<std::string> next = {"Kelvon.exe", KELVON_PROGRAM_NAME};
        if (c.interrupted) {
            folder.Make({{KELVON_PROGRAM_NAME ".K3L9Q0ZA.old", 0}, {"Kelvon.exe.0.tmp", 0}});
            next.insert("Kelvon.exe.0.tmp");
        } else {
            folder.Make({{"Kelvon.exe", 0}});
            folder.WriteList({"Kelvon.exe"});
        }
        const std::string scriptBase = c.temp ? std::string(c.temp) + "\\" : "C:\\windows\\temp\\";
        if (c.temp) CreateDirectoryA(c.temp, nullptr);
        const std::set<std::string> before = Listing(scriptBase);
        BatchRewriter rewriter{record_.PathOf("injected")};
        HANDLE thread = CreateThread(nullptr, 0, BatchRewriter::Run, &rewriter, 0, nullptr);
        setTemp(c.temp ? c.temp : temp);
        RunProgram(folder, "/s", {});
        setTemp(temp);
        // The next version's installer, at once: a program file of its own
        // (which leaves a record if it ever runs), held open, and Kelvon.exe.
        EXPECT_TRUE(CopyFileA(relay_.c_str(), folder.Program().c_str(), TRUE));
        HANDLE inUse =
            CreateFileA(folder.Program().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_TRUE(WriteBytes(folder.Of("Kelvon.exe"), "next"));
        bool done = false, notice = false;
        for (DWORD waited = 0; !done && waited < 30000; waited += 50, Sleep(50)) {
            notice = notice || FindWindowA(nullptr, caption.c_str());
            done = Listing(folder.Of("")) == next && NothingNewIn(scriptBase, before);
        }
        CloseHandle(inUse);
        rewriter.stop = 1;
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        EXPECT_TRUE(done) << "the old program file, the script or the copy stayed";
        EXPECT_FALSE(notice);
        EXPECT_FALSE(Exists(rewriter.mark)) << "a line was injected";
        EXPECT_FALSE(Exists(record_.PathOf("started.txt"))) << "a file put in the program folder ran";
        EXPECT_EQ("next", ReadBytes(folder.Of("Kelvon.exe")));
        if (HWND box = FindWindowA(nullptr, caption.c_str())) CloseWithButton(box, IDOK, 20000);
        if (c.temp) RemoveFolder(c.temp);
    }
}

TEST_F(Uninstall, NothingChangesWithoutTheListOrWithoutConsent) {
    const std::string confirm = Gbk("确实要卸载 Kelvon 吗?");
    const std::string cannotOpen = Gbk("无法打开列表文件 %s");
    const std::string cannotOpenList = Gbk("无法打开列表文件 Uninstall.lst");
    const struct {
        const char* what;
        bool list;
        const char* arguments;
        std::string catalog;  // empty: no catalog beside the program
        std::vector<Box> boxes;
        DWORD exitCode;
    } cases[] = {
        {"answered No", true, "", "", {{confirm, IDNO}}, 1602},
        {"no list, silent", false, "/s", "", {{cannotOpenList, IDOK}}, 1603},
        {"no list, confirmed", false, "", "", {{confirm, IDYES}, {cannotOpenList, IDOK}}, 1603},
        {"no list, translated", false, "/s", MessageEntry(cannotOpen, "No %s"), {{"No Uninstall.lst", IDOK}}, 1603},
        {"no list, translated with %d", false, "/s", MessageEntry(cannotOpen, "%d %s"), {{cannotOpenList, IDOK}},
         1603},
        {"an unknown option beside /s", true, "/s /clean", "", {}, 1639},
        {"no road for a Windows Installer package", true, "/msi /s /clean", "", {}, 0},
    };
    ProgramFolder folder;
    folder.Make({{"kept.txt", 0}, {"kelvon.gid", 0}});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA(folder.Of("Uninstall.lst").c_str());
        if (c.list) folder.WriteList({"kept.txt"});
        WriteBytes(folder.Of("uninstall.lng"), kCatalogMarkerLine + c.catalog);
        RunProgram(folder, c.arguments, c.boxes, c.exitCode);
        for (const char* name : {"kept.txt", "kelvon.gid", KELVON_PROGRAM_NAME}) {
            EXPECT_TRUE(Exists(folder.Of(name))) << name;
        }
        EXPECT_EQ(c.list, Exists(folder.Of("Uninstall.lst")));
        EXPECT_TRUE(SettingsKeyExists()) << "the integration was removed";
        EXPECT_FALSE(Exists(TempPath(kRemovalScriptName)));
    }
}

// Where nobody can see the desktop no box appears (the program ends by
// itself), the confirmation counts as No, each notice goes to the log
// (written to the temp folder without /log), and the exit code tells the
// outcome. Seen, the same codes come with the boxes above.
TEST_F(Uninstall, ExitCodesTellTheOutcomeAndNoBoxWaitsWhereNobodySeesIt) {
    const struct {
        const char* arguments;
        bool list;
        bool interpreter;  // else the removal script cannot start
        bool held;         // a file in use that cannot even be renamed
        DWORD exitCode;
        const char* notice;  // and the answer it counts as
    } cases[] = {
        {"", true, true, false, 1602, "5107 confirmation: not shown, nobody can see the desktop: counts as no"},
        {"/s", false, true, false, 1603, "5108 list missing: not shown, nobody can see the desktop: counts as ok"},
        {"/s", true, true, true, 0, "5114 restart needed: not shown, nobody can see the desktop: counts as ok"},
        {"/s", true, false, false, 1603, "5106 delete by hand: not shown, nobody can see the desktop: counts as ok"},
        {"/warning", true, true, false, 0, "5106 delete by hand: not shown, nobody can see the desktop: counts as ok"},
    };
    // The script is written and started, but not run: this test is about the program.
    SetEnvironmentVariableA("KELVON_RELAY_RUN", "0");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.notice);
        ProgramFolder folder(ProgramFolder::UnseenProgram());
        folder.Make({{"held.dat", 0}});
        if (c.list) folder.WriteList({"held.dat"});
        HANDLE held = c.held ? CreateFileA(folder.Of("held.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                           nullptr)
                             : INVALID_HANDLE_VALUE;
        // Else the script cannot start: no interpreter on Windows 95/98/Me, no
        // folder for it on the NT family.
        SetEnvironmentVariableA("COMSPEC", c.interpreter ? relay_.c_str() : "C:\\none\\cmd.exe");
        const char* systemTemp = "C:\\windows\\temp";
        if (!c.interpreter) MoveFileA(systemTemp, "C:\\windows\\temp.kept"), WriteBytes(systemTemp, "");
        RunProgram(folder, c.arguments, {}, c.exitCode);
        if (!c.interpreter) DeleteFileA(systemTemp), MoveFileA("C:\\windows\\temp.kept", systemTemp);
        if (c.held) CloseHandle(held);
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(TempPath("Kelvon uninstall *#001.log").c_str(), &found);
        ASSERT_NE(INVALID_HANDLE_VALUE, search);
        FindClose(search);
        const std::string text = ReadBytes(TempPath(found.cFileName));
        DeleteFileA(TempPath(found.cFileName).c_str());
        DeleteFileA(TempPath(kRemovalScriptName).c_str());
        EXPECT_NE(std::string::npos, text.find("\r\nnotice " + std::string(c.notice) + "\r\n")) << text;
        EXPECT_NE(std::string::npos, text.find("(exit code " + std::to_string(c.exitCode) + ", ")) << text;
    }
}

// The user's temp folder nearly full, on a small file system of its own
// (the full-temp driver), where an unelevated run also puts its removal
// script and the program's copy: the log of a long list leaves them their
// room, and the uninstall ends as it would without /log.
TEST_F(Uninstall, AFullTempFolderIsLeftToTheUninstall) {
    const std::string temp = TestProgramFolder() + "full_temp\\";
    ULARGE_INTEGER available = {}, total = {};
    ASSERT_TRUE(GetDiskFreeSpaceExA(temp.c_str(), &available, &total, nullptr));
    ASSERT_LT(total.QuadPart, 16u << 20) << temp << " is no small file system: run through tests/e2e/full-temp";
    const std::string unelevated = TestProgramFolder() + "unelevated\\" KELVON_PROGRAM_NAME;
    ProgramFolder folder(unelevated);
    std::vector<std::string> list;
    for (int i = 0; i < 300; ++i) list.push_back("listed file " + std::to_string(i) + ".txt");
    std::vector<Item> files;
    for (const std::string& name : list) files.push_back({name.c_str(), 0});
    folder.Make(files);
    list.push_back(KELVON_PROGRAM_NAME);
    folder.WriteList(list);
    // Pages for the copy, the script, the log's first lines and two more:
    // far less than the log of the list takes.
    WIN32_FILE_ATTRIBUTE_DATA program;
    ASSERT_TRUE(GetFileAttributesExA(unelevated.c_str(), GetFileExInfoStandard, &program));
    const ULONGLONG room = (program.nFileSizeLow + 4095) / 4096 * 4096 + 4 * 4096;
    ASSERT_TRUE(WriteBytes(temp + "filler", std::string(available.QuadPart - room, 'f')));
    char ownTemp[MAX_PATH] = "";
    GetEnvironmentVariableA("TEMP", ownTemp, sizeof(ownTemp));
    SetEnvironmentVariableA("TMP", temp.c_str()), SetEnvironmentVariableA("TEMP", temp.c_str());
    RunProgram(folder, "/s /log", {});
    SetEnvironmentVariableA("TMP", ownTemp), SetEnvironmentVariableA("TEMP", ownTemp);
    EXPECT_TRUE(WaitForRemovalScript(folder)) << "the removal script did not run, or a notice came";
    for (DWORD waited = 0; Exists(folder.Folder()) && waited < 20000; waited += 100) Sleep(100);
    EXPECT_FALSE(Exists(folder.Folder()));
    EXPECT_FALSE(FindWindowA(nullptr, Gbk("卸载 Kelvon").c_str()));
    DeleteFileA((temp + "filler").c_str());
}

// Kelvon.exe runs (a copy of the program showing its /warning notice): it
// cannot be deleted but can be renamed, to the first free temporary name.
// Two files held open without sharing can be neither: they are scheduled
// under their own names, and the restart notice appears once.
TEST_F(Uninstall, FilesInUseGoAtTheRestart) {
    const bool ntFamily = std::getenv("KELVON_EXPECT_NT")[0] == '1';
    ProgramFolder folder;
    folder.Make({{"Kelvon.exe.0.tmp", 0}, {"held1.dat", 0}, {"held2.dat", 0}, {"plain.txt", 0}});
    ASSERT_TRUE(CopyFileA(ProgramFolder::BuiltProgram().c_str(), folder.Of("Kelvon.exe").c_str(), FALSE));
    folder.WriteList({"Kelvon.exe", "held1.dat", "held2.dat", "plain.txt", KELVON_PROGRAM_NAME});
    // Scheduled before by someone else: that line must stay.
    const std::string early = TempPath("kelvon_early.txt");
    ASSERT_TRUE(WriteBytes(early, "early"));
    char wininit[MAX_PATH];
    GetWindowsDirectoryA(wininit, sizeof(wininit));
    const std::string wininitPath = std::string(wininit) + "\\wininit.ini";
    char shortEarly[MAX_PATH];
    GetShortPathNameA(early.c_str(), shortEarly, sizeof(shortEarly));
    ASSERT_TRUE(WriteBytes(wininitPath, std::string("[Rename]\r\nNUL=") + shortEarly + "\r\n"));

    StartedProgram holder;
    ASSERT_TRUE(StartProgram(folder.Of("Kelvon.exe"), "/warning", holder));
    HWND holderBox = WaitForProcessWindow(holder.info.dwProcessId, 20000);
    ASSERT_NE(nullptr, holderBox);
    std::vector<HANDLE> held;
    for (const char* name : {"held1.dat", "held2.dat"}) {
        held.push_back(CreateFileA(folder.Of(name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    }
    // The script's first line on Windows 95, 98 and Me is for command.com:
    // cmd.exe would take the quoted program for a window title.
    SetEnvironmentVariableA("KELVON_RELAY_RUN", ntFamily ? "1" : "0");
    const std::vector<std::string> scheduled = {folder.Of("Kelvon.exe.1.tmp"), folder.Of("held1.dat"),
                                                folder.Of("held2.dat")};
    RunProgram(folder, "/s", {{Gbk("你需要重新启动 Windows 来完全卸载 Kelvon。"), IDOK}});

    EXPECT_FALSE(Exists(folder.Of("plain.txt")));
    EXPECT_FALSE(Exists(folder.Of("Kelvon.exe")));
    EXPECT_TRUE(Exists(folder.Of("Kelvon.exe.0.tmp")));
    for (const std::string& path : scheduled) EXPECT_TRUE(Exists(path)) << path;
    if (ntFamily) {
        char pending[8192] = "";
        DWORD size = sizeof(pending);
        RegGetValueA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                     "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, pending, &size);
        const std::string operations(pending, size);
        for (const std::string& path : scheduled) {
            EXPECT_NE(std::string::npos, operations.find("\\??\\" + path + '\0')) << path;
        }
    } else {
        // One line per file, all under the key NUL.
        const std::string text = ReadBytes(wininitPath);
        EXPECT_NE(std::string::npos, text.find(std::string("NUL=") + shortEarly + "\r\n")) << text;
        for (const std::string& path : scheduled) {
            char shortPath[MAX_PATH] = "";
            GetShortPathNameA(path.c_str(), shortPath, sizeof(shortPath));
            EXPECT_NE(std::string::npos, text.find(std::string("NUL=") + shortPath + "\r\n")) << path << "\n" << text;
        }
    }
    // On the NT family the system's cmd.exe runs the script, never COMSPEC.
    if (!ntFamily) ExpectWin9xScriptStarted(folder);

    for (HANDLE handle : held) CloseHandle(handle);
    EXPECT_TRUE(CloseWithButton(holderBox, IDOK, 20000));
    EXPECT_EQ(0u, holder.WaitForExit(20000));
    if (ntFamily) {
        EXPECT_TRUE(WaitForRemovalScript(folder));
    }
    DeleteFileA(TempPath(kRemovalScriptName).c_str());
    char restart[MAX_PATH];
    GetSystemDirectoryA(restart, sizeof(restart));
    StartedProgram wineboot;
    ASSERT_TRUE(StartProgram(std::string(restart) + "\\wineboot.exe", "-r", wineboot));
    EXPECT_EQ(0u, wineboot.WaitForExit(60000));
    for (const std::string& path : scheduled) EXPECT_FALSE(Exists(path)) << path;
    EXPECT_FALSE(Exists(early));
}

}  // namespace
