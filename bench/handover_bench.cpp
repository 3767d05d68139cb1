// Times the hand-over to the removal script: from the moment "Uninstall.exe
// /s" has ended until its program folder is gone. The list is empty, so that
// nothing but the hand-over follows the end. Each run in a folder made
// afresh; the runs and their median are printed.
//
//   handover_bench [RUNS [PROGRAM]]   (PROGRAM: another build to time)
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "process_timing.h"
#include "support/scratch_folder.h"
#include "uninstall/removal_script.h"

namespace {

constexpr DWORD kLongest = 60000;

// Seconds from the end of the process until the folder is gone; negative
// when it stays.
double TimeHandOver(const std::string& root, const std::string& program) {
    RemoveFolder(root);
    if (!CreateDirectoryA(root.c_str(), nullptr) || !CopyFileA(program.c_str(), (root + "Uninstall.exe").c_str(), FALSE) ||
        !WriteBytes(root + "Uninstall.lst", "")) {
        std::printf("  cannot make %s with %s\n", root.c_str(), program.c_str());
        return -1;
    }
    if (TimeProcess(root + "Uninstall.exe", "/s") < 0) return -1;
    double ended = Seconds();
    for (DWORD waited = 0; waited < kLongest; waited += 2) {
        if (GetFileAttributesA(root.c_str()) == INVALID_FILE_ATTRIBUTES) {
            double seconds = Seconds() - ended;
            // A script that deletes itself in the temp folder ends before the next run.
            return WaitForRemovalScript(root, TempFolder() + kRemovalScriptName) ? seconds : -1;
        }
        Sleep(2);
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = PrepareRuns(argc, argv);
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof(self));
    std::string program = self;
    program = argc > 2 ? argv[2] : program.substr(0, program.rfind('\\')) + "\\..\\Uninstall.exe";
    const std::string root = TempFolder() + "kelvon_handover\\";
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        double seconds = TimeHandOver(root, program);
        std::printf("  run %d: %.3f s from the end of the process to the folder gone\n", run + 1, seconds);
        std::fflush(stdout);
        if (seconds < 0) return 1;
        times.push_back(seconds);
    }
    std::printf("hand-over: median %.3f s over %d runs\n", Median(times), runs);
    return 0;
}
