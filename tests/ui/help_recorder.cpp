// Stands in for the HTML Help control in the tests: it records, one line per
// event, into the file named by KELVON_HELP_LOG: its own path, then
// "attach", "HtmlHelpA|<owner>|<target>|<command>", "unload" (FreeLibrary
// released it) or "exit" (the process ended with it loaded). Wine's control
// shows nothing without a help file and a browser engine, so the calls are
// what the tests can observe.
#include <windows.h>

#include <cstdio>

namespace {

char ownPath[MAX_PATH];

void Record(const char* event) {
    char logPath[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("KELVON_HELP_LOG", logPath, sizeof(logPath));
    if (length == 0 || length >= sizeof(logPath)) return;
    FILE* log = std::fopen(logPath, "a");
    if (!log) return;
    std::fprintf(log, "%s|%s\n", ownPath, event);
    std::fclose(log);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        GetModuleFileNameA(instance, ownPath, sizeof(ownPath));
        Record("attach");
    } else if (reason == DLL_PROCESS_DETACH) {
        Record(reserved ? "exit" : "unload");
    }
    return TRUE;
}

extern "C" __declspec(dllexport) HWND WINAPI HtmlHelpA(HWND owner, LPCSTR target, UINT command, DWORD_PTR) {
    char event[2 * MAX_PATH];
    std::snprintf(event, sizeof(event), "HtmlHelpA|%08lx|%s|%u", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(owner)),
                  target ? target : "(null)", command);
    Record(event);
    return nullptr;
}
