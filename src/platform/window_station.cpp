#include <windows.h>

#include "platform/system.h"

bool WindowStationVisible() {
    // Looked up at run time: user32 of Windows 95, 98 and Me lacks them.
    using GetStationFn = HWINSTA(WINAPI*)();
    using GetInformationFn = BOOL(WINAPI*)(HANDLE, int, PVOID, DWORD, LPDWORD);
    HMODULE user32 = GetModuleHandleA("user32");
    auto getStation =
        reinterpret_cast<GetStationFn>(reinterpret_cast<void*>(GetProcAddress(user32, "GetProcessWindowStation")));
    auto getInformation = reinterpret_cast<GetInformationFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetUserObjectInformationA")));
    if (!getStation || !getInformation) return true;
    HWINSTA station = getStation();
    USEROBJECTFLAGS flags = {};
    DWORD needed = 0;
    if (!station || !getInformation(station, UOI_FLAGS, &flags, sizeof(flags), &needed)) return true;
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}
