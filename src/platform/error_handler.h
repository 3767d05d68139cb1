#pragma once

// The process-wide error state. Failures of the file object are reported
// here, and the only error the program raises comes from here.
//
// A raised Error is caught nowhere: it leaves WinMain, std::terminate runs,
// and the terminate handler installed by error_handler.cpp ends the process
// at once with the error's code as its exit code (no "abnormal termination"
// message box, no exit handlers). Any other uncaught exception goes on to the
// runtime's own handler.
namespace ErrorHandler {

// What Throw raises: the code it was given.
struct Error {
    int code;
};

constexpr int kOutOfMemory = 8;
// The code of a user break; it is only raised while throwOnBreak is set.
constexpr int kUserBreak = 255;

extern int exitCode;
extern int errorCount;
extern unsigned char throwOnBreak;

// Keeps the most serious code: a warning (1) or a break (255) never replaces
// an earlier code, an error (2) replaces only a warning.
void RecordExitCode(int code);
// Records the code and raises Error, except for a user break while
// throwOnBreak is clear.
void Throw(int code);
[[noreturn]] void OutOfMemory();
// This program never offers a retry: always false.
bool ConfirmRetry(const char* fileName);
// Failures are not shown to the user; nothing is done.
void ReportFailure(const char* fileName);

}  // namespace ErrorHandler
