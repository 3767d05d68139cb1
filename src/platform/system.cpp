#include "platform/system.h"

#include "platform/path_text.h"

namespace {

int cachedPlatformId = -1;
int cachedMajorVersion = 0;
int wow64State = -1;
int desktopView = -1;

// False when the system cannot tell, as before Windows 2000.
bool InSessionZero() {
    using ProcessIdToSessionIdFn = BOOL(WINAPI*)(DWORD, DWORD*);
    auto processIdToSessionId = reinterpret_cast<ProcessIdToSessionIdFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "ProcessIdToSessionId")));
    DWORD session = 0;
    return processIdToSessionId && processIdToSessionId(GetCurrentProcessId(), &session) && session == 0;
}

}  // namespace

int WinNT() {
    if (cachedPlatformId == -1) {
        OSVERSIONINFOA info = {};
        info.dwOSVersionInfoSize = sizeof(info);
        GetVersionExA(&info);
        cachedPlatformId = static_cast<int>(info.dwPlatformId);
        cachedMajorVersion = static_cast<int>(info.dwMajorVersion);
    }
    return cachedPlatformId == VER_PLATFORM_WIN32_NT ? cachedMajorVersion : 0;
}

DesktopView ProcessDesktopView() {
    if (desktopView == -1) {
        // Before Vista, the user of the console logs on to session 0.
        DesktopView view = !WindowStationVisible()            ? DesktopView::InvisibleWindowStation
                           : WinNT() >= 6 && InSessionZero() ? DesktopView::SessionZero
                                                             : DesktopView::Seen;
        desktopView = static_cast<int>(view);
    }
    return static_cast<DesktopView>(desktopView);
}

bool IsWow64() {
    if (wow64State == -1) {
        // Looked up at run time: kernel32 of Windows 95/98/Me and early NT lacks it.
        using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
        auto isWow64Process = reinterpret_cast<IsWow64ProcessFn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "IsWow64Process")));
        BOOL answer = FALSE;
        if (isWow64Process && isWow64Process(GetCurrentProcess(), &answer)) {
            wow64State = answer ? 1 : 0;
        }
    }
    return wow64State == 1;
}

int CompareNoCase(const char* a, const char* b) {
    int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE | SORT_STRINGSORT, a, -1, b, -1);
    return result ? result - 2 : -2;
}

bool WideToAnsi(const wchar_t* src, char* dst, int size) {
    return WideCharToMultiByte(CP_ACP, 0, src, -1, dst, size, nullptr, nullptr) != 0;
}

void EnableDlgItem(HWND dialog, int id, unsigned char enable) {
    EnableWindow(GetDlgItem(dialog, id), enable != 0);
}

namespace {

using FolderQuery = UINT(WINAPI*)(LPSTR, UINT);

bool PathInFolder(FolderQuery folderOf, const char* name, char* path, std::size_t capacity) {
    UINT length = folderOf(path, static_cast<UINT>(capacity));
    return length != 0 && length < capacity && AppendPathName(path, capacity, name);
}

}  // namespace

bool PathInSystemFolder(const char* name, char* path, std::size_t capacity) {
    return PathInFolder(GetSystemDirectoryA, name, path, capacity);
}

bool PathInWindowsFolder(const char* name, char* path, std::size_t capacity) {
    return PathInFolder(GetWindowsDirectoryA, name, path, capacity);
}

HMODULE LoadSystemLibrary(const char* name) {
    char path[kPathSize];
    return PathInSystemFolder(name, path, sizeof(path)) ? LoadLibraryA(path) : nullptr;
}
