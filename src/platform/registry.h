#pragma once

#include <windows.h>

// The layer deletes trees itself, the same way on every Windows version; the
// system's RegDeleteTree (Vista and later) is not used and its name is ours.
#undef RegDeleteTree

// Every registry access of the program. Paths under HKEY_CURRENT_USER are
// relative to "Software\Kelvon" (a leading backslash makes them absolute);
// writers create missing keys; readers hand back a default on any failure.
// Each operation opens and closes its own key.

// The size of an expanded key path; callers size their key path buffers by it.
constexpr size_t kKeyPathSize = 256;

// Current access mask bits for key creation: 0 or KEY_WOW64_64KEY.
extern DWORD RegistryView;

// The view a read, test or deletion addresses. View64 is the 64-bit view of
// 64-bit Windows; wherever the process is not under WOW64 there is only one
// view, and View64 names it.
enum RegView : DWORD { OwnView = 0, View64 = KEY_WOW64_64KEY };
// Keys deleted by the current pass of RegDeleteTree.
extern int DeletedKeyCount;

bool ExpandKeyPath(const char* path, HKEY root, char* destination, size_t capacity);

// With use64 the following key creations go to the 64-bit view, when the
// process runs under WOW64; use64 false switches back.
void SetRegistryView(bool use64);

// Sends the key creations of its lifetime to the 64-bit view (with use64)
// and leaves the default view behind on every way out.
class RegistryViewScope {
public:
    explicit RegistryViewScope(bool use64) { SetRegistryView(use64); }
    RegistryViewScope(const RegistryViewScope&) = delete;
    RegistryViewScope& operator=(const RegistryViewScope&) = delete;
    ~RegistryViewScope() { SetRegistryView(false); }
};

LONG RegWriteString(HKEY root, const char* path, const char* name, const char* text);
LONG RegWriteDword(HKEY root, const char* path, const char* name, DWORD value);
LONG RegWriteBinary(HKEY root, const char* path, const char* name, const void* data, DWORD size);

bool RegReadString(HKEY root, const char* path, const char* name, char* buffer, const char* defaultText,
                   DWORD size, RegView view = OwnView);
bool RegReadDword(HKEY root, const char* path, const char* name, DWORD* output, DWORD defaultValue,
                  RegView view = OwnView);
DWORD RegGetDword(HKEY root, const char* path, const char* name, DWORD defaultValue);

bool RegKeyExists(HKEY root, const char* path, RegView view = OwnView);
// True for an existing key without subkeys and without values (the default
// value counts as one).
bool RegKeyIsEmpty(HKEY root, const char* path, RegView view = OwnView);

void RegDeleteKeyOnly(HKEY root, const char* path, RegView view = OwnView);
void RegDeleteValueOnly(HKEY root, const char* path, const char* name, RegView view = OwnView);
void RegDeleteTree(HKEY root, const char* path, RegView view = OwnView);

// The program's own settings: HKEY_CURRENT_USER, relative to "Software\Kelvon".
DWORD SettingGetDword(const char* path, const char* name, DWORD defaultValue);
LONG SettingSetDword(const char* path, const char* name, DWORD value);
bool SettingGetString(const char* path, const char* name, char* buffer, const char* defaultText, DWORD size);
LONG SettingSetString(const char* path, const char* name, const char* text);
