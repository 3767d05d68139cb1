#include <windows.h>
#include <lmcons.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/path_text.h"
#include "platform/program_path.h"
#include "platform/run_log.h"
#include "platform/system.h"
#include "platform/temp_file.h"
#include "resources/version.h"

namespace {

constexpr std::size_t kOutcomeSize = 512;

HANDLE logFile = INVALID_HANDLE_VALUE;
char logPath[kPathSize] = "";
int failedActions = 0;
int keptItems = 0;
unsigned long long budget = 0;
unsigned long long spare = kLogSpareBytes;
bool stopped = false;
char outcome[kOutcomeSize] = "";
DWORD startTick = 0;

// One WriteFile per line and no buffer of our own: what a killed run wrote
// is already the system's. Write-through to the disk is not asked for; it
// would make every line wait for the disk.
void WriteBytes(const char* text, std::size_t length) {
    DWORD written = 0;
    WriteFile(logFile, text, static_cast<DWORD>(length), &written, nullptr);
}

// The free bytes on the log's disk; false when the system cannot tell
// (Windows 95 before OSR2 lacks the call).
bool FreeBytesOnLogDisk(unsigned long long& bytes) {
    using GetFreeSpaceFn = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
    auto getFreeSpace = reinterpret_cast<GetFreeSpaceFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "GetDiskFreeSpaceExA")));
    char folder[kPathSize];
    CopyBounded(folder, logPath, sizeof(folder));
    *PointToName(folder) = '\0';
    ULARGE_INTEGER available = {};
    if (!getFreeSpace || !getFreeSpace(folder, &available, nullptr, nullptr)) return false;
    bytes = available.QuadPart;
    return true;
}

// Whether `length` more bytes may go to the log without taking the last
// `spare` bytes of its disk. The disk is asked again only once the bytes
// it allowed last time are used up.
bool WithinSpareSpace(std::size_t length) {
    if (length > budget) {
        unsigned long long available = 0;
        budget = !FreeBytesOnLogDisk(available) ? ~0ull : available > spare ? available - spare : 0;
    }
    if (length > budget) return false;
    budget -= length;
    return true;
}

// `closing`: the closing line, which the spare space has room for, is
// written even after the log stopped.
void WriteLine(char (&line)[kLogLineSize], bool whole, bool closing = false) {
    std::size_t length = EndLogLine(line, sizeof(line), whole);
    if (stopped && !closing) return;
    if (closing || WithinSpareSpace(length)) {
        WriteBytes(line, length);
        return;
    }
    stopped = true;
    static const char kStopped[] = "log: stopped here: its disk is nearly full, and what is left is kept for the "
                                   "uninstall\r\n";
    WriteBytes(kStopped, sizeof(kStopped) - 1);
}

// The formatted text, escaped, then ": " and `result` when one is given.
void WriteFormatted(const char* result, const char* format, va_list args, bool closing = false) {
    char text[kLogLineSize];
    int length = std::vsnprintf(text, sizeof(text), format, args);
    if (length < 0) text[0] = '\0';
    char line[kLogLineSize];
    bool whole = EscapeLogText(text, line, sizeof(line)) && length >= 0 &&
                 static_cast<std::size_t>(length) < sizeof(text);
    if (whole && result) {
        std::size_t used = std::strlen(line);
        whole = FormatInto(line + used, sizeof(line) - used, ": %s", result);
    }
    WriteLine(line, whole, closing);
}

// On the NT family the removal script's folder, on the disk of the temp
// folder as a rule, gets a copy of the program beside the script.
unsigned long long ProgramFileBytes() {
    char program[kPathSize];
    WIN32_FIND_DATAA found;
    if (!GetProgramPath(program, sizeof(program))) return 0;
    HANDLE search = FindFirstFileA(program, &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    FindClose(search);
    return (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

// Under the first free number: a log never overwrites another.
HANDLE CreateLogFile(const char* road, const SYSTEMTIME& now) {
    const LogDate date = {now.wYear, now.wMonth, now.wDay};
    return CreateNewTempFile(
        [road, date](int number, char* name, std::size_t capacity) {
            return FormLogName(name, capacity, road, date, number);
        },
        1, kLogNumberCount, logPath, sizeof(logPath));
}

// The file the administrator named: theirs to choose, so whatever stands
// there is replaced, or added to by the run that appends.
HANDLE OpenNamedLogFile(const char* path, bool append) {
    if (!FormatInto(logPath, sizeof(logPath), "%s", path)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return INVALID_HANDLE_VALUE;
    }
    // Opened as it stands and emptied only once it proved to be a plain file:
    // replacing it by its name would follow a link planted there.
    HANDLE file = OpenOwnFile(path, OPEN_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) return file;
    SetFilePointer(file, 0, nullptr, append ? FILE_END : FILE_BEGIN);
    if (!append) SetEndOfFile(file);
    return file;
}

// Whether the process runs with its full administrator token, which only
// Vista and later split off.
const char* ElevationText() {
    if (!WinNT()) return "not asked on Windows 95/98/Me";
    if (WinNT() < 6) return "not asked before Vista";
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return "unknown";
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    bool known = GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size) != 0;
    CloseHandle(token);
    return !known ? "unknown" : elevation.TokenIsElevated ? "yes" : "no";
}

const char* DesktopText() {
    switch (ProcessDesktopView()) {
        case DesktopView::InvisibleWindowStation: return "nobody can see it (window station not visible)";
        case DesktopView::SessionZero: return "nobody can see it (session 0)";
        case DesktopView::Seen: break;
    }
    return "visible";
}

void WriteHeader(const char* road, const char* commandLine, bool silent, bool msi, const SYSTEMTIME& now) {
    char program[kPathSize];
    if (!GetProgramPath(program, sizeof(program))) CopyBounded(program, "(path too long)", sizeof(program));
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    bool ntFamily = WinNT() != 0;
    LogLine("Kelvon %s log, started %04d-%02d-%02d %02d:%02d:%02d", road, now.wYear, now.wMonth, now.wDay, now.wHour,
            now.wMinute, now.wSecond);
    char account[UNLEN + 1] = "";
    DWORD accountSize = sizeof(account);
    if (!GetUserNameA(account, &accountSize)) CopyBounded(account, "(unknown)", sizeof(account));
    LogLine("program: %s, version %s", program, KELVON_VERSION_TEXT);
    LogLine("windows: %lu.%lu build %lu%s%s (%s), %s", version.dwMajorVersion, version.dwMinorVersion,
            ntFamily ? version.dwBuildNumber : version.dwBuildNumber & 0xFFFF, version.szCSDVersion[0] ? " " : "",
            version.szCSDVersion, ntFamily ? "NT family" : "Windows 95/98/Me", IsWow64() ? "64-bit" : "32-bit");
    LogLine("code pages: ANSI %u (paths below are in it), OEM %u", GetACP(), GetOEMCP());
    LogLine("command line: %s", commandLine);
    LogLine("silent: %s; Windows Installer package: %s", silent ? "yes" : "no", msi ? "yes" : "no");
    LogLine("account: %s; elevated: %s; desktop: %s", account, ElevationText(), DesktopText());
}

void WriteClosingLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
void WriteClosingLine(const char* format, ...) {
    va_list args;
    va_start(args, format);
    WriteFormatted(nullptr, format, args, true);
    va_end(args);
}

}  // namespace

long OpenRunLog(const char* road, const char* path, bool append, const char* commandLine, bool silent, bool msi) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    logFile = path ? OpenNamedLogFile(path, append) : CreateLogFile(road, now);
    if (logFile == INVALID_HANDLE_VALUE) {
        long error = static_cast<long>(GetLastError());
        logPath[0] = '\0';
        return error ? error : kLogFailed;
    }
    startTick = GetTickCount();
    budget = 0;
    spare = kLogSpareBytes + ProgramFileBytes();
    stopped = false;
    RunLogActive = true;
    WriteHeader(road, commandLine, silent, msi, now);
    return 0;
}

const char* RunLogPath() {
    return logPath;
}

void LogLine(const char* format, ...) {
    if (!RunLogActive) return;
    va_list args;
    va_start(args, format);
    WriteFormatted(nullptr, format, args);
    va_end(args);
}

void LogAction(long result, const char* format, ...) {
    if (!RunLogActive) return;
    if (result != 0) ++failedActions;
    char buffer[32];
    va_list args;
    va_start(args, format);
    WriteFormatted(ResultText(result, buffer, sizeof(buffer)), format, args);
    va_end(args);
}

void LogKept(const char* format, ...) {
    if (!RunLogActive) return;
    ++keptItems;
    va_list args;
    va_start(args, format);
    WriteFormatted(nullptr, format, args);
    va_end(args);
}

int KeptCount() {
    return keptItems;
}

void SetRunOutcome(const char* format, ...) {
    if (!RunLogActive) return;
    va_list args;
    va_start(args, format);
    std::vsnprintf(outcome, sizeof(outcome), format, args);
    va_end(args);
}

void CloseRunLog(int exitCode) {
    if (!RunLogActive) return;
    char failures[128] = "";
    if (failedActions) {
        FormatInto(failures, sizeof(failures), "; %d action%s failed (see above)", failedActions,
                   failedActions == 1 ? "" : "s");
    }
    if (keptItems) {
        std::size_t used = std::strlen(failures);
        FormatInto(failures + used, sizeof(failures) - used, "; %d meant to be removed, kept (see the lines with "
                   "\"kept\")", keptItems);
    }
    DWORD elapsed = GetTickCount() - startTick;
    WriteClosingLine("result: %s%s (exit code %d, %lu.%03lu s)", outcome[0] ? outcome : "ended", failures,
                     exitCode, elapsed / 1000, elapsed % 1000);
    RunLogActive = false;
    CloseHandle(logFile);
    logFile = INVALID_HANDLE_VALUE;
    logPath[0] = '\0';
}
