#include "process_timing.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "platform/path_text.h"

namespace {

constexpr DWORD kScriptWait = 120000;

}  // namespace

double Seconds() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int PrepareRuns(int argc, char** argv) {
    SetCurrentDirectoryA(TempFolder().c_str());
    int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    return runs < 1 ? 1 : runs;
}

double TimeProcess(const std::string& program, const std::string& arguments) {
    std::string line = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    double start = Seconds();
    if (!CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr,
                        &startup, &process)) {
        return -1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    double elapsed = Seconds() - start;
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code == 0 ? elapsed : -1;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string TempFolder() {
    char temp[kPathSize];
    GetTempPathA(sizeof(temp), temp);
    return temp;
}

bool WaitForRemovalScript(const std::string& root, const std::string& script) {
    for (DWORD waited = 0; waited < kScriptWait; waited += 100) {
        if (GetFileAttributesA(root.c_str()) == INVALID_FILE_ATTRIBUTES &&
            GetFileAttributesA(script.c_str()) == INVALID_FILE_ATTRIBUTES) {
            return true;
        }
        Sleep(100);
    }
    return false;
}
