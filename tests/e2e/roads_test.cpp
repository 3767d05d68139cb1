// The real program on both of its roads, in a program folder as the
// installer leaves it, each case in an untouched prefix of its own: what a
// user sees (dialogs, notices, the program group) and what stays behind.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <set>
#include <string>

#include "association_test_support.h"
#include "class_registry.h"
#include "integration_test_support.h"
#include "support/dialog_driver.h"
#include "support/process.h"
#include "support/scratch_folder.h"

namespace {

// The program folder, KELVON_PROGRAM_FOLDER (with forward slashes) when set:
// a name in letters of the code page under test.
std::string ProgramFolderName(UINT codePage) {
    wchar_t name[MAX_PATH];
    if (!GetEnvironmentVariableW(L"KELVON_PROGRAM_FOLDER", name, MAX_PATH)) wcscpy(name, L"C:/Program Files/Kelvon/");
    char folder[MAX_PATH] = "";
    WideCharToMultiByte(codePage, 0, name, -1, folder, sizeof(folder), nullptr, nullptr);
    std::string path(folder);
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

const std::string kFolder = ProgramFolderName(CP_ACP);
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvon archiver";
const char kAppPathKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Kelvon.exe";
// The files an installation of the archiver lists, and a folder of them.
const char* const kListedFiles[] = {"Kelvon.exe", "Kelvon.chm", "Vok.txt", "license.txt", "vokext.dll",
                                    "vokext64.dll", "Formats\\vok.fmt"};

std::string Gbk(const char* utf8) { return FromUtf8(utf8, 936); }

std::string Program() { return std::string(kFolder) + "Uninstall.exe"; }

// The program folder with stand-ins for the archiver's files and the list
// that names them, the program itself last.
void MakeProgramFolder() {
    for (std::size_t end = kFolder.find('\\', 3); end != std::string::npos; end = kFolder.find('\\', end + 1)) {
        CreateDirectoryA(kFolder.substr(0, end).c_str(), nullptr);
    }
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(kFolder.c_str()));
    ASSERT_TRUE(CreateDirectoryA((std::string(kFolder) + "Formats").c_str(), nullptr));
    std::string list;
    for (const char* file : kListedFiles) {
        ASSERT_TRUE(WriteBytes(kFolder + std::string(file), "stand-in"));
        list += std::string(file) + "\r\n";
    }
    list += "Formats\r\nUninstall.exe\r\n";
    ASSERT_TRUE(WriteBytes(kFolder + std::string("Uninstall.lst"), list));
    ASSERT_TRUE(CopyFileA((TestProgramFolder() + "..\\..\\Uninstall.exe").c_str(), Program().c_str(), FALSE));
}

void PlantForeignOwners() {
    PutString(HKEY_CLASSES_ROOT, ".zip", "", "OtherZip.Archive");
    PutString(HKEY_CLASSES_ROOT, ".zip", "Content Type", "application/x-other-zip");
    PutString(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "NullFile", "");
    PutString(HKEY_CLASSES_ROOT, ".7z", "", "SevenArchiver.7z");
}

// Runs the program to its end without touching any of its windows: a dialog
// or notice that waited for an answer would keep it from ending.
DWORD RunUnattended(const char* arguments) {
    StartedProgram program;
    EXPECT_TRUE(StartProgram(Program(), arguments, program, "C:\\"));
    return program.WaitForExit(60000);
}

// A top-level window of any process with this title, waited for.
HWND WaitForTitle(const char* title, DWORD milliseconds) {
    for (DWORD waited = 0;; waited += 100) {
        HWND window = FindWindowA(nullptr, title);
        if ((window && IsWindowVisible(window)) || waited >= milliseconds) return window;
        Sleep(100);
    }
}

// The removal script ends after the program: the folder goes last.
bool WaitForFolderGone(DWORD milliseconds) {
    for (DWORD waited = 0; GetFileAttributesA(kFolder.c_str()) != INVALID_FILE_ATTRIBUTES; waited += 200) {
        if (waited >= milliseconds) return false;
        Sleep(200);
    }
    return true;
}

// Today's log of a road under its number, in the temp folder.
std::string LogPath(const char* road, int number) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    SYSTEMTIME now;
    GetLocalTime(&now);
    char name[64];
    std::snprintf(name, sizeof(name), "Kelvon %s %04d-%02d-%02d #%03d.log", road, now.wYear, now.wMonth, now.wDay,
                  number);
    return temp + std::string(name);
}

// The log's closing line, without its line end.
std::string LastLine(std::string log) {
    if (log.size() >= 2 && log.compare(log.size() - 2, 2, "\r\n") == 0) log.resize(log.size() - 2);
    return log.substr(log.rfind('\n') + 1);  // the whole text when it has one line
}

std::string GroupFolder(int csidl) { return SpecialFolder(csidl) + "\\Kelvon"; }

class Roads : public ::testing::Test {
protected:
    void SetUp() override {
        // The program's texts need code page 936; a folder name in other
        // letters needs the code page that has them.
        const char* codePage = std::getenv("KELVON_EXPECT_ACP");
        ASSERT_EQ(codePage ? std::strtoul(codePage, nullptr, 10) : 936u, GetACP()) << "locale missing?";
        CoInitialize(nullptr);
    }
    void TearDown() override { CoUninitialize(); }
};

TEST_F(Roads, SilentSetupRegistersEverythingWithoutAWindow) {
    MakeProgramFolder();
    PlantForeignOwners();
    EXPECT_EQ(0u, RunUnattended("/setup /s"));

    EXPECT_EQ("Kelvon.ZIP", GetString(HKEY_CLASSES_ROOT, ".zip", ""));
    EXPECT_EQ("Kelvon", GetString(HKEY_CLASSES_ROOT, ".vok", ""));
    EXPECT_EQ(Program(), GetString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
    EXPECT_EQ(kFolder + std::string("Kelvon.exe"), GetString(HKEY_LOCAL_MACHINE, kAppPathKey, ""));
    EXPECT_EQ(kFolder + std::string("Kelvon.exe"),
              ReadLink(GroupFolder(CSIDL_COMMON_PROGRAMS) + "\\Kelvon.lnk").first);
    // No program group window: the shell would open it a moment later.
    Sleep(3000);
    EXPECT_EQ(nullptr, FindWindowA(nullptr, "Kelvon"));
}

// The settings confirmed by the user, then the completion dialog, the notice
// for 64-bit Windows and the program group in a shell window.
TEST_F(Roads, SetupThroughItsDialogs) {
    MakeProgramFolder();
    StartedProgram program;
    ASSERT_TRUE(StartProgram(Program(), "/setup", program, "C:\\"));
    const std::string title = Gbk("Kelvon 简体中文版安装");
    HWND settings = WaitForProcessWindowTitled(program.info.dwProcessId, title, 20000);
    ASSERT_NE(nullptr, settings);
    PressButton(settings, IDOK);
    ASSERT_TRUE(WaitForWindowGone(settings, 20000));

    HWND done = WaitForProcessWindowTitled(program.info.dwProcessId, title, 20000);
    ASSERT_NE(nullptr, done);
    std::string folder(kFolder);
    EXPECT_EQ(folder.substr(0, folder.size() - 1), WindowText(GetDlgItem(done, 5101)));
    EXPECT_TRUE(CloseWithButton(done, IDOK, 20000));

    HWND notice = WaitForProcessWindowTitled(program.info.dwProcessId, Gbk("Kelvon 压缩文件管理器"), 20000);
    ASSERT_NE(nullptr, notice) << "no notice for a 32-bit program on 64-bit Windows";
    EXPECT_NE(std::string::npos, MessageBoxText(notice).find(Gbk("你在 64 位的 windows 中安装了 32 位的 Kelvon")));
    EXPECT_TRUE(CloseWithButton(notice, IDOK, 20000));
    EXPECT_EQ(0u, program.WaitForExit(20000));

    HWND group = WaitForTitle("Kelvon", 20000);
    EXPECT_NE(nullptr, group) << "the program group was not opened";
    if (group) PostMessageA(group, WM_CLOSE, 0, 0);
}

TEST_F(Roads, SetupForAWindowsInstallerPackageEndsWithTheSettings) {
    MakeProgramFolder();
    StartedProgram program;
    ASSERT_TRUE(StartProgram(Program(), "/msi /setup", program, "C:\\"));
    HWND settings = WaitForProcessWindowTitled(program.info.dwProcessId, Gbk("Kelvon 简体中文版安装"), 20000);
    ASSERT_NE(nullptr, settings);
    PressButton(settings, IDOK);
    // No completion dialog, no notice, no group window: the program ends.
    EXPECT_EQ(0u, program.WaitForExit(20000));
    EXPECT_EQ(kFolder + std::string("Kelvon.exe"), GetString(HKEY_LOCAL_MACHINE, kAppPathKey, ""));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    Sleep(3000);
    EXPECT_EQ(nullptr, FindWindowA(nullptr, "Kelvon"));
}

// A language library whose settings dialog cannot be made: nothing was
// confirmed, so neither the completion dialog nor any registration follows.
TEST_F(Roads, SettingsThatCannotBeShownAreNoSetup) {
    MakeProgramFolder();
    ASSERT_TRUE(CopyFileA((TestProgramFolder() + "broken_library\\voklng.dll").c_str(),
                          (kFolder + std::string("voklng.dll")).c_str(), FALSE));
    EXPECT_EQ(0u, RunUnattended("/setup"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAppPathKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

TEST_F(Roads, WarningComesBeforeThePause) {
    StartedProgram program;
    ASSERT_TRUE(StartProgram(TestProgramFolder() + "..\\..\\Uninstall.exe", "/warning /wait", program));
    HWND box = WaitForProcessWindow(program.info.dwProcessId, 20000);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(Gbk("卸载 Kelvon"), WindowText(box));
    ASSERT_TRUE(CloseWithButton(box, IDOK, 20000));
    DWORD closed = GetTickCount();
    EXPECT_EQ(0u, program.WaitForExit(20000));
    EXPECT_GE(GetTickCount() - closed, 1900u) << "the pause must follow the message";
}

// Setup and then the uninstall the way a self-extracting package asks for
// it silently: everything is as before, apart from the differences kept on
// purpose, and the program folder is gone once the removal script has run.
TEST_F(Roads, SetupAndSilentUninstallLeaveTheSystemAsItWas) {
    const bool ntFamily = std::getenv("KELVON_EXPECT_NT")[0] == '1';
    ScratchFolder relayRecord("kelvon_relay");
    if (!ntFamily) {
        // The script's first line for Windows 95/98/Me is command.com's
        // "start /wait", which Wine's cmd.exe reads differently: a relay in
        // place of the interpreter keeps the script from running, and the
        // program file stays for it.
        SetEnvironmentVariableA("COMSPEC", (TestProgramFolder() + "comspec_relay.exe").c_str());
        SetEnvironmentVariableA("KELVON_RELAY_RECORD", relayRecord.Path().c_str());
        SetEnvironmentVariableA("KELVON_RELAY_RUN", "0");
    }
    PlantForeignOwners();
    RegistrySnapshot registryBefore = WholeRegistry();
    std::set<std::string> filesBefore = ShortcutFolderListing();
    MakeProgramFolder();

    ASSERT_EQ(0u, RunUnattended("/setup /s"));
    ASSERT_EQ("Kelvon.ZIP", GetString(HKEY_CLASSES_ROOT, ".zip", ""));
    ASSERT_TRUE(SetEnvironmentVariableA("sfxcmd", "-s"));
    EXPECT_EQ(0u, RunUnattended(""));
    SetEnvironmentVariableA("sfxcmd", nullptr);
    if (ntFamily) {
        EXPECT_TRUE(WaitForFolderGone(30000)) << "the removal script left the program folder";
    } else {
        EXPECT_EQ(std::set<std::string>{kFolder + "Uninstall.exe"}, FolderListing(kFolder));
        // The interpreter reads the script in the OEM code page.
        const std::string program = "\"" + ProgramFolderName(CP_OEMCP) + "Uninstall.exe\"";
        const std::string firstLine = "start /wait " + program + " /wait\r\n";
        EXPECT_EQ(firstLine, ReadBytesOnceThere(relayRecord.PathOf("script.bat"), 20000).substr(0, firstLine.size()));
    }

    EXPECT_EQ("OtherZip.Archive", GetString(HKEY_CLASSES_ROOT, ".zip", ""));
    EXPECT_EQ("SevenArchiver.7z", GetString(HKEY_CLASSES_ROOT, ".7z", ""));
    std::set<std::string> kept;
    // Where the shell takes the New-menu template as "Data", the previous
    // owner's empty-file entry comes back beside it: the backup records a
    // template file or an empty file, never "Data".
    if (ExpectedShellNew() == "data") kept.insert("+HKLM\\Software\\Classes\\.zip\\ShellNew|Data");
    EXPECT_EQ(kept, SnapshotDifferences(registryBefore, WholeRegistry()));
    EXPECT_EQ(filesBefore, ShortcutFolderListing());
}

// The log of each road: numbered in the temp folder for /log, or the file
// /log= names, replaced, then added to by /warning; forged control bytes
// escaped; a file that cannot be made said on the standard error.
TEST_F(Roads, LogsTellWhatEachRoadDid) {
    PlantForeignOwners();
    PutString(HKEY_CLASSES_ROOT, ".7z", "", "Seven\r\nresult: setup complete\x7f");
    MakeProgramFolder();
    const std::string earlier = LogPath("setup", 1);
    ASSERT_TRUE(WriteBytes(earlier, "earlier"));
    ASSERT_EQ(0u, RunUnattended("/setup /s /log"));
    EXPECT_EQ("earlier", ReadBytes(earlier));
    const std::string setup = ReadBytes(LogPath("setup", 2));
    for (const std::string& line :
         {std::string("command line: /setup /s /log\r\n"),
          std::string("association .zip: \"OtherZip.Archive\" -> \"Kelvon.ZIP\" (taken)\r\n"),
          std::string("association .7z: \"Seven\\r\\nresult: setup complete\\x7F\" -> "),
          "registry: set HKLM\\" + std::string(kUninstallKey) + " [UninstallString] = \"" + Program() + "\": ok\r\n"}) {
        EXPECT_NE(std::string::npos, setup.find("\r\n" + line)) << line;
    }
    EXPECT_EQ(0u, LastLine(setup).find("result: setup complete (exit code 0, ")) << LastLine(setup);
    EXPECT_EQ(setup.find("\r\nresult: "), setup.rfind("\r\nresult: "));

    EXPECT_EQ(1639u, RunUnattended("/s /logs"));
    EXPECT_EQ("Kelvon.ZIP", GetString(HKEY_CLASSES_ROOT, ".zip", ""));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(LogPath("uninstall", 1).c_str()));

    // Meant to be removed, kept: the entry with a subkey, the folder with a file not ours.
    PutString(HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + "\\Added", "", "");
    ASSERT_TRUE(WriteBytes(kFolder + std::string("notes.txt"), "mine"));
    // Relative to the current directory at start, C:\.
    const std::string named = "C:\\logs dir\\k-1.log";
    CreateDirectoryA("C:\\logs dir", nullptr);
    ASSERT_TRUE(WriteBytes(named, "earlier"));
    EXPECT_EQ(0u, RunUnattended("/S /LOG=\"logs dir/k-1.log\""));
    const std::string uninstall = ReadBytes(named);
    EXPECT_EQ(0u, uninstall.find("Kelvon uninstall log, started ")) << "not replaced";
    for (const std::string& line :
         {std::string("association .zip: \"Kelvon.ZIP\" -> \"OtherZip.Archive\" (given back)\r\n"),
          "list: " + std::string(kFolder) + "Formats: removed\r\n",
          "registry: kept key HKLM\\" + std::string(kUninstallKey) + ": it has subkeys\r\n",
          "folder: kept " + std::string(kFolder) + ": not empty, it still holds: notes.txt\r\n"}) {
        EXPECT_NE(std::string::npos, uninstall.find("\r\n" + line)) << line;
    }
    EXPECT_EQ(0u, LastLine(uninstall).find("result: uninstall incomplete; 2 meant to be removed, kept (see the lines "
                                           "with \"kept\") (exit code 0, "))
        << LastLine(uninstall);
    // The removal script's /warning run, where nobody sees the desktop.
    ScratchFolder scratch("kelvon_stderr");
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    HANDLE error = CreateFileA(scratch.PathOf("stderr.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                               CREATE_ALWAYS, 0, nullptr);
    const std::string unseen = TestProgramFolder() + "unseen\\Uninstall.exe";
    // A second name of another file is no log: it would be written through.
    ASSERT_TRUE(WriteBytes("C:\\other.txt", "other"));
    ASSERT_TRUE(CreateHardLinkA("C:\\logs dir\\linked.log", "C:\\other.txt", nullptr));
    for (const char* log : {"\"C:\\logs dir\\k-1.log\"", "C:\\none\\k.log", "\"C:\\logs dir\\linked.log\""}) {
        StartedProgram warning;
        ASSERT_TRUE(StartProgram(unseen, std::string("/warning /log=") + log, warning, "C:\\", error));
        EXPECT_EQ(0u, warning.WaitForExit(60000)) << log;
    }
    CloseHandle(error);
    const std::string appended = ReadBytes(named);
    EXPECT_EQ(0u, appended.find(uninstall));
    EXPECT_NE(std::string::npos, appended.find("\r\nnotice 5106 delete by hand: not shown, nobody can see the "
                                              "desktop: counts as ok\r\n", uninstall.size()));
    EXPECT_EQ("Uninstall.exe: the log file C:\\none\\k.log cannot be created (error 3); the run goes on without "
              "it\r\nUninstall.exe: the log file C:\\logs dir\\linked.log cannot be created (error 1920); the run "
              "goes on without it\r\n",
              ReadBytes(scratch.PathOf("stderr.txt")));
    EXPECT_EQ("other", ReadBytes("C:\\other.txt"));
}

// The German catalog beside the program on a German Windows (1252): every
// text of the dialogs and notices is German, and so are the names that
// setup writes into the registry and gives the group's shortcuts. Keyed by
// the Chinese texts in the system's code page, "Help" and "Archive" shared
// one entry, and the archive type was named "Kelvon Hilfe".
TEST_F(Roads, GermanCatalogOnAGermanWindows) {
    MakeProgramFolder();
    const std::string catalog = ReadBytes(TestProgramFolder() + "uninstall_de.lng");
    ASSERT_TRUE(WriteBytes(kFolder + std::string("uninstall.lng"), catalog));
    std::set<std::string> translations;
    for (std::size_t at = catalog.find("=\""); at != std::string::npos; at = catalog.find("=\"", at + 1)) {
        translations.insert(catalog.substr(at + 2, catalog.find("\"\r\n", at) - at - 2));
    }
    StartedProgram program;
    ASSERT_TRUE(StartProgram(Program(), "/setup /log", program, "C:\\"));
    std::string folder(kFolder);
    const std::string shown[] = {"", folder.substr(0, folder.size() - 1)};  // set by the dialogs themselves
    for (int dialog = 0; dialog < 2; ++dialog) {
        HWND window = WaitForProcessWindowTitled(program.info.dwProcessId, "Kelvon-Setup", 20000);
        ASSERT_NE(nullptr, window);
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            const std::string text = WindowText(child);
            if (text.empty() || text == shown[dialog] || text.find("Diese Optionen steuern") != std::string::npos) continue;
            EXPECT_EQ(1u, translations.count(text)) << "not German: " << text;
        }
        dialog == 0 ? PressButton(window, IDOK) : (void)CloseWithButton(window, IDOK, 20000);
        ASSERT_TRUE(WaitForWindowGone(window, 20000));
    }
    HWND notice = WaitForProcessWindowTitled(program.info.dwProcessId, "Kelvon Archivverwaltung", 20000);
    ASSERT_NE(nullptr, notice);
    EXPECT_EQ(0u, MessageBoxText(notice).find("Sie haben das 32-Bit-Kelvon unter 64-Bit-Windows installiert."));
    EXPECT_TRUE(CloseWithButton(notice, IDOK, 20000));
    EXPECT_EQ(0u, program.WaitForExit(20000));
    if (HWND group = WaitForTitle("Kelvon", 20000)) PostMessageA(group, WM_CLOSE, 0, 0);

    EXPECT_EQ("Kelvon-Archiv", GetString(HKEY_CLASSES_ROOT, "Kelvon", ""));
    EXPECT_EQ("Kelvon-ZIP-Archiv", GetString(HKEY_CLASSES_ROOT, "Kelvon.ZIP", ""));
    EXPECT_EQ("VOK-Wiederherstellungsvolume", GetString(HKEY_CLASSES_ROOT, "Kelvon.REV", ""));
    EXPECT_EQ("Kelvon Archivverwaltung", GetString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
    for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) {
        const std::string group = GroupFolder(csidl) + "\\";
        EXPECT_EQ((std::set<std::string>{group + "Kelvon-Hilfe.lnk", group + "Kelvon.lnk", group + "VOK-Konsolenhandbuch.lnk"}),
                  FolderListing(group));
    }
    // The run's log, kept in the build folder for whoever reads the outcome.
    CopyFileA(LogPath("setup", 1).c_str(), (TestProgramFolder() + "german_setup.log").c_str(), FALSE);
}

}  // namespace
