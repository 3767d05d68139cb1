#include "platform/console.h"

#include <windows.h>

#include <cstring>

namespace {

void WriteAll(HANDLE handle, const char* text) {
    DWORD written = 0;
    WriteFile(handle, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

}  // namespace

void WriteToParentConsole(const char* text) {
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error && error != INVALID_HANDLE_VALUE) {
        WriteAll(error, text);
        return;
    }
    // A GUI program gets no console of its own; it may borrow its parent's
    // on Windows XP and later.
    using AttachConsoleFn = BOOL(WINAPI*)(DWORD);
    auto attachConsole = reinterpret_cast<AttachConsoleFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "AttachConsole")));
    if (!attachConsole || !attachConsole(ATTACH_PARENT_PROCESS)) return;
    HANDLE console = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 0, nullptr);
    if (console != INVALID_HANDLE_VALUE) {
        WriteAll(console, text);
        CloseHandle(console);
    }
    FreeConsole();
}
