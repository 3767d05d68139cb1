#include "uninstall/script_start.h"

#include <windows.h>

#include <iterator>
#include <string>

#include "platform/elevation.h"
#include "platform/oem_text.h"
#include "platform/path_text.h"
#include "platform/random_bits.h"
#include "platform/run_log.h"
#include "platform/system.h"
#include "platform/temp_file.h"
#include "uninstall/removal_script.h"
#include "uninstall/self_rename.h"
#include "uninstall/temporary_name.h"

namespace {

// Tries of names for the script before the temp folder counts as unusable.
constexpr int kScriptNameCount = 1000;
constexpr int kFolderTries = 100;
// The longest wait for the program's copy to begin its own wait for us.
constexpr DWORD kReadyMilliseconds = 10000;

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

// The script's text, with every path in the interpreter's form and the
// program folder as the current directory reports it. The run's log is
// named only where it has such a form: the log never keeps the script from
// being written.
bool FormScript(HandOver handOver, bool ntFamily, std::string& script) {
    char folder[kPathSize];
    char forms[6][kPathSize];
    const char** paths[] = {&handOver.program, &handOver.folder,       &handOver.script,
                            &handOver.copy,    &handOver.scriptFolder, &handOver.log};
    if (!CurrentFolder(folder, sizeof(folder))) return false;
    handOver.folder = folder;
    handOver.log = RunLogPath()[0] ? RunLogPath() : nullptr;
    for (std::size_t i = 0; i < std::size(paths); ++i) {
        if (!*paths[i]) continue;
        if (InterpreterForm(*paths[i], forms[i], sizeof(forms[i]))) {
            *paths[i] = forms[i];
        } else if (paths[i] == &handOver.log) {
            handOver.log = nullptr;
        } else {
            return false;
        }
    }
    script = FormRemovalScript(handOver, ntFamily);
    return true;
}

// Written whole and closed; otherwise removed again.
bool WriteScript(HANDLE file, const HandOver& handOver, bool ntFamily) {
    std::string script;
    bool complete = FormScript(handOver, ntFamily, script) && WriteWhole(file, script);
    complete = CloseHandle(file) && complete;
    if (!complete) DeleteFileA(handOver.script);
    if (RunLogActive) LogAction(complete ? 0 : kLogFailed, "script: written %s", handOver.script);
    return complete;
}

bool Start(const char* interpreter, char* commandLine, const char* folder, bool ntFamily) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    HANDLE nul = INVALID_HANDLE_VALUE;
    HANDLE self = nullptr;
    if (ntFamily) {
        // The interpreter's console window stays hidden. It holds a handle
        // to this process, so that our id names no other process while the
        // copy waits for us to end.
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
        DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE, TRUE, 0);
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
    bool started = CreateProcessA(ntFamily ? interpreter : nullptr, commandLine, nullptr, nullptr, TRUE,
                                  ntFamily ? 0 : DETACHED_PROCESS, nullptr, folder, &startup, &process) != 0;
    if (RunLogActive) {
        LogAction(started ? 0 : static_cast<long>(GetLastError()), "script: started %s%s%s", commandLine,
                  folder ? " in " : "", folder ? folder : "");
    }
    if (started) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (self) CloseHandle(self);
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    return started;
}

bool StartScript(const char* scriptPath, const char* folder, bool ntFamily) {
    char interpreter[kPathSize];
    char commandLine[kPathSize];
    if (!CommandInterpreter(interpreter, sizeof(interpreter)) ||
        !FormScriptCommandLine(interpreter, scriptPath, ntFamily, commandLine, sizeof(commandLine))) {
        if (RunLogActive) LogAction(kLogFailed, "script: no command line to start it fits");
        return false;
    }
    return Start(interpreter, commandLine, folder, ntFamily);
}

HandOverResult HandOverOn9x(const char* programPath) {
    char scriptPath[kPathSize] = "";
    HANDLE file = CreateNewTempFile(FormScriptName, 0, kScriptNameCount - 1, scriptPath, sizeof(scriptPath));
    if (file == INVALID_HANDLE_VALUE) {
        if (RunLogActive) LogAction(kLogFailed, "script: written %s", scriptPath);
        return HandOverResult::NotStarted;
    }
    HandOver handOver = {programPath, nullptr, scriptPath, nullptr, nullptr, 0, 0, nullptr};
    if (!WriteScript(file, handOver, false)) return HandOverResult::NotStarted;
    if (StartScript(scriptPath, nullptr, false)) return HandOverResult::Started;
    DeleteFileA(scriptPath);
    return HandOverResult::NotStarted;
}

// The folder of the script and the copy: out of reach of unelevated
// processes when we are elevated, and under a name no one can take first.
bool CreateScriptFolder(char* folder, std::size_t capacity, char* stem) {
    bool elevated = RunsElevated();
    char base[kPathSize];
    DWORD length = 0;
    if (elevated ? !SystemTempFolder(base, sizeof(base))
                 : ((length = GetTempPathA(sizeof(base), base)) == 0 || length >= sizeof(base))) {
        return false;
    }
    for (int i = 0; i < kFolderTries; ++i) {
        FormRandomStem(RandomBits(), stem);
        if (!FormatInto(folder, capacity, "%s%s", base, stem)) return false;
        if (CreateNewFolder(folder, elevated)) return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    if (RunLogActive) LogAction(static_cast<long>(GetLastError()), "script: folder made in %s", base);
    return false;
}

// "STEM.EXT" in the script's folder.
bool PathInScriptFolder(const char* folder, const char* stem, const char* extension, char* path) {
    return FormatInto(path, kPathSize, "%s\\%s%s", folder, stem, extension);
}

bool StartCopyAndScript(const char* uniquePath, const char* folder, const char* stem, HANDLE ready, char* copy,
                        char* script) {
    if (!PathInScriptFolder(folder, stem, ".EXE", copy) || !PathInScriptFolder(folder, stem, ".BAT", script)) {
        return false;
    }
    bool copied = CopyFileA(uniquePath, copy, TRUE) != 0;
    if (RunLogActive) {
        LogAction(copied ? 0 : static_cast<long>(GetLastError()), "file: copied %s to %s", uniquePath, copy);
    }
    if (!copied) return false;
    HANDLE file = CreateFileA(script, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    HandOver handOver = {uniquePath, nullptr, script, copy, folder, GetCurrentProcessId(),
                         static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(ready)), nullptr};
    return WriteScript(file, handOver, true) && StartScript(script, folder, true);
}

// The copy and the script in the folder; the program already renamed. Once
// started, the script's copy sets `ready` when it waits for us: we end only
// then, so that the time our file stays is not that of two process starts.
bool StartInFolder(const char* uniquePath, const char* folder, const char* stem, char* copy, char* script) {
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    HANDLE ready = CreateEventA(&inheritable, TRUE, FALSE, nullptr);
    bool started = StartCopyAndScript(uniquePath, folder, stem, ready, copy, script);
    if (started && ready) WaitForSingleObject(ready, kReadyMilliseconds);
    if (ready) CloseHandle(ready);
    return started;
}

HandOverResult HandOverOnNt(const char* programPath) {
    char folder[kPathSize];
    char stem[kRandomStemLength + 1];
    if (!CreateScriptFolder(folder, sizeof(folder), stem)) return HandOverResult::NotStarted;
    char uniquePath[kPathSize];
    bool renamed = RenameRunningProgram(programPath, uniquePath, sizeof(uniquePath));
    if (RunLogActive) {
        LogAction(renamed ? 0 : static_cast<long>(GetLastError()), "file: renamed %s to %s", programPath,
                  renamed ? uniquePath : "a unique name");
    }
    char copy[kPathSize] = "";
    char script[kPathSize] = "";
    if (renamed && StartInFolder(uniquePath, folder, stem, copy, script)) return HandOverResult::Started;
    DeleteFileA(script);
    DeleteFileA(copy);
    RemoveDirectoryA(folder);
    if (!renamed) return HandOverResult::NotRenamed;
    RestoreProgramName(programPath, uniquePath);
    return HandOverResult::NotStarted;
}

}  // namespace

bool CommandInterpreter(char* path, std::size_t capacity) {
    // COMSPEC comes from the user's environment, which an unelevated process
    // can set: on the NT family it never names what runs with our rights.
    if (WinNT()) return PathInSystemFolder("cmd.exe", path, capacity);
    DWORD length = GetEnvironmentVariableA("COMSPEC", path, static_cast<DWORD>(capacity));
    if (length != 0 && length < capacity) return true;
    // Missing, empty or too long to hold: a command line without an
    // interpreter cannot start.
    return PathInWindowsFolder("command.com", path, capacity);
}

HandOverResult StartRemovalScript(const char* programPath) {
    return WinNT() ? HandOverOnNt(programPath) : HandOverOn9x(programPath);
}
