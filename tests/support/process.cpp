#include "support/process.h"

#include <vector>

StartedProgram::~StartedProgram() {
    if (!started) return;
    // Left running by a failed test, it would hold its files for the next
    // test and the test's output open for the test runner.
    if (WaitForExit(0) == STILL_ACTIVE) {
        TerminateProcess(info.hProcess, 1);
        WaitForSingleObject(info.hProcess, 20000);
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
}

DWORD StartedProgram::WaitForExit(DWORD milliseconds) {
    if (WaitForSingleObject(info.hProcess, milliseconds) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
}

bool StartProgram(const std::string& program, const std::string& arguments, StartedProgram& result,
                  const std::string& directory, HANDLE standardError) {
    std::string line = "\"" + program + "\"";
    if (!arguments.empty()) line += " " + arguments;
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    if (standardError) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdError = standardError;
    }
    result.started = CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, standardError != nullptr, 0,
                                    nullptr,
                                    directory.empty() ? nullptr : directory.c_str(), &startup, &result.info) != 0;
    return result.started;
}

std::string TestProgramFolder() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}
