// Stands in for the command interpreter that COMSPEC names: records how the
// uninstaller started it, keeps a copy of the script it was given, then hands
// the same arguments to the system's cmd.exe and waits for it, so that the
// script still runs for real.
//
// The record goes to the folder in KELVON_RELAY_RECORD: "started.txt" holds
// the command line, then the startup flags, the show command and the file
// type of the standard output, then the current directory, one a line;
// "script.bat" is the copy. With KELVON_RELAY_RUN=0 the script is not run:
// the first line written for Windows 95, 98 and Me is meant for command.com,
// whose "start" takes no window title; cmd.exe would take the quoted program
// for one and wait for input instead.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main() {
    const char* record = std::getenv("KELVON_RELAY_RECORD");
    if (!record) return 1;
    const std::string folder = std::string(record) + "\\";
    const char* commandLine = GetCommandLineA();
    STARTUPINFOA startup = {};
    GetStartupInfoA(&startup);
    char current[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof(current), current);
    if (FILE* started = std::fopen((folder + "started.txt").c_str(), "wb")) {
        std::fprintf(started, "%s\n%lu %u %lu\n%s", commandLine, startup.dwFlags, startup.wShowWindow,
                     GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)), current);
        std::fclose(started);
    }
    // The arguments: everything after " /c ", the script's path in quotes.
    const char* arguments = std::strstr(commandLine, " /c \"");
    if (!arguments) return 1;
    std::string script(arguments + 5);
    script = script.substr(0, script.find('"'));
    // Renamed into place once whole: the test reads it as soon as it appears.
    CopyFileA(script.c_str(), (folder + "script.tmp").c_str(), FALSE);
    MoveFileA((folder + "script.tmp").c_str(), (folder + "script.bat").c_str());
    const char* run = std::getenv("KELVON_RELAY_RUN");
    if (run && *run == '0') return 0;

    char interpreter[MAX_PATH];
    GetSystemDirectoryA(interpreter, sizeof(interpreter));
    std::string line = std::string("cmd.exe") + arguments;
    // The interpreter gets the window and standard handles the relay got.
    startup.lpReserved = nullptr;
    startup.cbReserved2 = 0;
    startup.lpReserved2 = nullptr;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA((std::string(interpreter) + "\\cmd.exe").c_str(), &line[0], nullptr, nullptr, TRUE, 0,
                        nullptr, nullptr, &startup, &process)) {
        return 1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
