#include "platform/error_handler.h"

#include <cstdlib>
#include <exception>

namespace ErrorHandler {

int exitCode = 0;
int errorCount = 0;
unsigned char throwOnBreak = 1;

namespace {

constexpr int kWarning = 1;
constexpr int kError = 2;

[[noreturn]] void Raise(int code) {
    RecordExitCode(code);
    throw Error{code};
}

std::terminate_handler runtimeHandler = nullptr;

// Without this the runtime's handler calls abort(): exit code 3, a text on a
// console the program does not have and, depending on the C runtime's error
// mode, a "terminated in an unusual way" message box.
[[noreturn]] void EndOnRaisedError() {
    if (std::exception_ptr current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const Error& error) {
            std::_Exit(error.code);
        } catch (...) {
        }
    }
    if (runtimeHandler) runtimeHandler();
    std::abort();
}

// Installed before WinMain runs, with the rest of the static state.
struct TerminateHandlerInstaller {
    TerminateHandlerInstaller() { runtimeHandler = std::set_terminate(EndOnRaisedError); }
} terminateHandlerInstaller;

}  // namespace

void RecordExitCode(int code) {
    switch (code) {
        case kWarning:
        case kUserBreak:
            if (exitCode == 0) exitCode = code;
            break;
        case kError:
            if (exitCode == 0 || exitCode == kWarning) exitCode = kError;
            break;
        default:
            exitCode = code;
            break;
    }
    ++errorCount;
}

void Throw(int code) {
    if (code == kUserBreak && !throwOnBreak) return;
    Raise(code);
}

void OutOfMemory() {
    Raise(kOutOfMemory);
}

bool ConfirmRetry(const char*) {
    return false;
}

void ReportFailure(const char*) {}

}  // namespace ErrorHandler
