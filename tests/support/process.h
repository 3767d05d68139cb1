#pragma once

#include <windows.h>

#include <string>

// A program started by a test; on destruction it is ended if still running
// and the handles are closed.
struct StartedProgram {
    PROCESS_INFORMATION info = {};
    bool started = false;

    StartedProgram() = default;
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;
    ~StartedProgram();

    // The exit code, or STILL_ACTIVE when it did not end within the time.
    DWORD WaitForExit(DWORD milliseconds);
};

// Starts `program` with `arguments` (the text after its quoted name), in the
// current directory `directory` (empty: this process's), with
// `standardError` (an inheritable handle) as its standard error when given.
bool StartProgram(const std::string& program, const std::string& arguments, StartedProgram& result,
                  const std::string& directory = "", HANDLE standardError = nullptr);

// The folder of the running test program, with a trailing backslash.
std::string TestProgramFolder();
