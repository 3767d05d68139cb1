#include "uninstall/script_start.h"

#include <windows.h>

#include <string>

#include "platform/path_text.h"
#include "platform/system.h"
#include "uninstall/removal_script.h"

namespace {

// A script cut short by a failed write could name a path cut short: it is
// deleted instead of run.
bool WriteScript(const char* scriptPath, const std::string& text) {
    HANDLE file = CreateFileA(scriptPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool complete = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                    written == text.size();
    complete = CloseHandle(file) && complete;
    if (!complete) DeleteFileA(scriptPath);
    return complete;
}

bool ScriptPath(char* path, std::size_t capacity) {
    DWORD length = GetTempPathA(static_cast<DWORD>(capacity), path);
    return length != 0 && length < capacity && AppendPathName(path, capacity, kRemovalScriptName);
}

bool CurrentFolder(char* path, std::size_t capacity) {
    DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(capacity), path);
    return length != 0 && length < capacity;
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

void StartRemovalScript(const char* programPath) {
    char scriptPath[kPathSize];
    char folder[kPathSize];
    if (!ScriptPath(scriptPath, sizeof(scriptPath)) || !CurrentFolder(folder, sizeof(folder))) return;
    bool ntFamily = WinNT() != 0;
    if (!WriteScript(scriptPath, FormRemovalScript(programPath, folder, scriptPath, ntFamily))) return;
    char interpreter[kPathSize];
    char commandLine[kPathSize];
    if (!CommandInterpreter(interpreter, sizeof(interpreter)) ||
        !FormatInto(commandLine, sizeof(commandLine), "%s /c \"%s\"", interpreter, scriptPath)) {
        return;
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
    if (CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, ntFamily ? 0 : DETACHED_PROCESS, nullptr,
                       nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
}
