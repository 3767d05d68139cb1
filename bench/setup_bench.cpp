// Times a silent setup, "Uninstall.exe /setup /s", as a whole process, with
// and without the administrator's log (/log). The two run interleaved, RUNS
// times each (5 by default), each from the same state: a program folder as
// the installer leaves it and no integration, which a silent uninstall
// between the runs restores. Prints every run, the medians, their ratio and
// the size of a log. ./dev bench runs it with Wine on one CPU.
//
//   setup_bench [RUNS]
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/path_text.h"
#include "process_timing.h"
#include "support/scratch_folder.h"
#include "uninstall/removal_script.h"

namespace {

const char kProgramName[] = "Uninstall.exe";
const char kLogPattern[] = "Kelvon setup *.log";

struct Paths {
    std::string root;  // the program folder, with a trailing backslash
    std::string built;  // the program as the build made it
};

Paths BenchPaths() {
    char self[kPathSize];
    GetModuleFileNameA(nullptr, self, sizeof(self));
    *PointToName(self) = '\0';
    return {TempFolder() + "kelvon_setup_bench\\", std::string(self) + "..\\" + kProgramName};
}

bool MakeProgramFolder(const Paths& paths) {
    const std::string program = ReadBytes(paths.built);
    return !program.empty() && CreateDirectoryA(paths.root.c_str(), nullptr) &&
           WriteBytes(paths.root + kProgramName, program) &&
           WriteBytes(paths.root + "Uninstall.lst", std::string(kProgramName) + "\r\n");
}

// Deletes the setup logs in the temp folder, so that every run finds #001
// free; hands back the size of the last one.
unsigned long DeleteSetupLogs() {
    const std::string temp = TempFolder();
    unsigned long size = 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((temp + kLogPattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        size = found.nFileSizeLow;
        DeleteFileA((temp + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return size;
}

// One timed setup, then the silent uninstall that undoes it; negative when
// either failed.
double TimeSetup(const Paths& paths, const char* arguments) {
    if (!MakeProgramFolder(paths)) return -1;
    double seconds = TimeProcess(paths.root + kProgramName, arguments);
    if (TimeProcess(paths.root + kProgramName, "/s") < 0 ||
        !WaitForRemovalScript(paths.root, TempFolder() + kRemovalScriptName)) {
        return -1;
    }
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = PrepareRuns(argc, argv);
    const Paths paths = BenchPaths();
    RemoveFolder(paths.root);
    DeleteSetupLogs();
    std::vector<double> plain;
    std::vector<double> logged;
    unsigned long logSize = 0;
    std::printf("silent setup, %d runs each without and with /log\n", runs);
    for (int run = 0; run < runs; ++run) {
        plain.push_back(TimeSetup(paths, "/setup /s"));
        logged.push_back(TimeSetup(paths, "/setup /s /log"));
        logSize = DeleteSetupLogs();
        std::printf("  run %d: without %.3f s, with /log %.3f s\n", run + 1, plain.back(), logged.back());
        std::fflush(stdout);
        if (plain.back() < 0 || logged.back() < 0) {
            std::printf("a run failed\n");
            RemoveFolder(paths.root);
            return 1;
        }
    }
    double without = Median(plain);
    double with = Median(logged);
    std::printf("\nmedian without /log %.3f s, with /log %.3f s, ratio %.2f; log %lu bytes\n", without, with,
                with / without, logSize);
    return 0;
}
