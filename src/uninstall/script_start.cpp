#include "uninstall/script_start.h"

#include <windows.h>

#include <string>

#include "platform/oem_text.h"
#include "platform/path_text.h"
#include "platform/run_log.h"
#include "platform/system.h"
#include "platform/temp_file.h"
#include "uninstall/removal_script.h"

namespace {

// Tries of names for the script before the temp folder counts as unusable.
constexpr int kScriptNameCount = 1000;

// A script cut short by a failed write could name a path cut short.
bool WriteWhole(HANDLE file, const std::string& text) {
    DWORD written = 0;
    return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
}

bool CurrentFolder(char* path, std::size_t capacity) {
    DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(capacity), path);
    return length != 0 && length < capacity;
}

// The interpreter reads the script in the OEM code page: a path goes in as
// the OEM form of its own name or, failing that, of its short name, whichever
// reads back as the same file. False when neither does.
bool InterpreterForm(const char* path, char* form, std::size_t capacity) {
    if (AnsiToOem(path, form, capacity)) return true;
    char shortPath[kPathSize];
    DWORD length = GetShortPathNameA(path, shortPath, sizeof(shortPath));
    return length != 0 && length < sizeof(shortPath) && AnsiToOem(shortPath, form, capacity);
}

// The script's text, with every path in the interpreter's form.
bool FormScript(const char* programPath, const char* scriptPath, bool ntFamily, std::string& script) {
    char folder[kPathSize];
    char programForm[kPathSize];
    char folderForm[kPathSize];
    char scriptForm[kPathSize];
    if (!CurrentFolder(folder, sizeof(folder)) || !InterpreterForm(programPath, programForm, sizeof(programForm)) ||
        !InterpreterForm(folder, folderForm, sizeof(folderForm)) ||
        !InterpreterForm(scriptPath, scriptForm, sizeof(scriptForm))) {
        return false;
    }
    script = FormRemovalScript(programForm, folderForm, scriptForm, ntFamily);
    return true;
}

// Created, written whole and closed; otherwise removed again.
bool WriteScript(const char* programPath, bool ntFamily, char* scriptPath, std::size_t capacity) {
    HANDLE file = CreateNewTempFile(FormScriptName, 0, kScriptNameCount - 1, scriptPath, capacity);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::string script;
    bool complete = FormScript(programPath, scriptPath, ntFamily, script) && WriteWhole(file, script);
    complete = CloseHandle(file) && complete;
    if (!complete) DeleteFileA(scriptPath);
    return complete;
}

// On the NT family the interpreter skips the AutoRun commands of the
// registry, which would run with our rights before the script and could
// change its directory or its output, and keeps delayed expansion off, so
// that a "!" in a path stays one. command.com knows neither option.
bool FormCommandLine(const char* scriptPath, bool ntFamily, char* commandLine, std::size_t capacity) {
    char interpreter[kPathSize];
    return CommandInterpreter(interpreter, sizeof(interpreter)) &&
           FormatInto(commandLine, capacity, ntFamily ? "%s /d /v:off /c \"%s\"" : "%s /c \"%s\"", interpreter,
                      scriptPath);
}

}  // namespace

bool CommandInterpreter(char* path, std::size_t capacity) {
    DWORD length = GetEnvironmentVariableA("COMSPEC", path, static_cast<DWORD>(capacity));
    if (length != 0 && length < capacity) return true;
    // Missing, empty or too long to hold: a command line without an
    // interpreter cannot start.
    return WinNT() ? PathInSystemFolder("cmd.exe", path, capacity)
                   : PathInWindowsFolder("command.com", path, capacity);
}

bool StartRemovalScript(const char* programPath) {
    bool ntFamily = WinNT() != 0;
    char scriptPath[kPathSize] = "";
    char commandLine[kPathSize];
    bool written = WriteScript(programPath, ntFamily, scriptPath, sizeof(scriptPath));
    if (RunLogActive) LogAction(written ? 0 : kLogFailed, "script: written %s", scriptPath);
    if (!written) return false;
    if (!FormCommandLine(scriptPath, ntFamily, commandLine, sizeof(commandLine))) {
        if (RunLogActive) LogAction(kLogFailed, "script: no command line to start it fits");
        DeleteFileA(scriptPath);
        return false;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    HANDLE nul = INVALID_HANDLE_VALUE;
    if (ntFamily) {
        // The interpreter's console window stays hidden.
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
    } else {
        // Detached from any console, the script's standard handles go to NUL;
        // the handle must be inheritable to mean anything in the script.
        SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
        nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS, 0, nullptr);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
    }
    // Neither this process nor the script may keep the program folder in use.
    SetCurrentDirectoryA("..");
    PROCESS_INFORMATION process = {};
    bool started = CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, ntFamily ? 0 : DETACHED_PROCESS,
                                  nullptr, nullptr, &startup, &process) != 0;
    if (RunLogActive) LogAction(started ? 0 : static_cast<long>(GetLastError()), "script: started %s", commandLine);
    if (started) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        DeleteFileA(scriptPath);
    }
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    return started;
}
