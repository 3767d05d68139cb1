#include "platform/elevation.h"

#include <windows.h>
#include <sddl.h>

#include "platform/path_text.h"
#include "platform/system.h"

namespace {

// SYSTEM and the Administrators, full control of the folder and everything
// in it; "P" keeps the parent's inheritable entries out, among them the right
// of Users to create files in the system's Temp folder and below it.
const char kPrivateFolderAccess[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

template <typename Function>
Function Lookup(const char* module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(module), name)));
}

}  // namespace

bool RunsElevated() {
    if (WinNT() < 6) return false;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    bool elevated = GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size) &&
                    elevation.TokenIsElevated != 0;
    CloseHandle(token);
    return elevated;
}

bool SystemTempFolder(char* path, std::size_t capacity) {
    // Looked up at run time: Windows 95/98/Me and NT 4 lack it.
    using FolderQuery = UINT(WINAPI*)(LPSTR, UINT);
    auto systemWindowsFolder = Lookup<FolderQuery>("kernel32", "GetSystemWindowsDirectoryA");
    if (!systemWindowsFolder) return false;
    UINT length = systemWindowsFolder(path, static_cast<UINT>(capacity));
    return length != 0 && length < capacity && AppendPathName(path, capacity, "Temp") &&
           AddEndSlash(path, capacity);
}

bool CreateNewFolder(const char* path, bool privateToAdministrators) {
    if (!privateToAdministrators) return CreateDirectoryA(path, nullptr) != 0;
    // advapi32 of Windows 95/98/Me and NT 4 lacks it.
    using Convert = BOOL(WINAPI*)(LPCSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);
    auto convert = Lookup<Convert>("advapi32", "ConvertStringSecurityDescriptorToSecurityDescriptorA");
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!convert || !convert(kPrivateFolderAccess, SDDL_REVISION_1, &descriptor, nullptr)) return false;
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor, FALSE};
    bool created = CreateDirectoryA(path, &attributes) != 0;
    LocalFree(descriptor);
    return created;
}
