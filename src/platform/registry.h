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
// Keys deleted by the current pass of RegDeleteTree.
extern int DeletedKeyCount;

bool ExpandKeyPath(const char* path, HKEY root, char* destination, size_t capacity);

// With use64 the following key creations go to the 64-bit view, when the
// process runs under WOW64; use64 false switches back.
void SetRegistryView(bool use64);

LONG RegWriteString(HKEY root, const char* path, const char* name, const char* text);
LONG RegWriteDword(HKEY root, const char* path, const char* name, DWORD value);
LONG RegWriteBinary(HKEY root, const char* path, const char* name, const void* data, DWORD size);

bool RegReadString(HKEY root, const char* path, const char* name, char* buffer, const char* defaultText,
                   DWORD size);
bool RegReadDword(HKEY root, const char* path, const char* name, DWORD* output, DWORD defaultValue);
DWORD RegGetDword(HKEY root, const char* path, const char* name, DWORD defaultValue);

bool RegKeyExists(HKEY root, const char* path);

void RegDeleteKeyOnly(HKEY root, const char* path);
void RegDeleteValueOnly(HKEY root, const char* path, const char* name);
void RegDeleteTree(HKEY root, const char* path);

// The program's own settings: HKEY_CURRENT_USER, relative to "Software\Kelvon".
DWORD SettingGetDword(const char* path, const char* name, DWORD defaultValue);
LONG SettingSetDword(const char* path, const char* name, DWORD value);
bool SettingGetString(const char* path, const char* name, char* buffer, const char* defaultText, DWORD size);
LONG SettingSetString(const char* path, const char* name, const char* text);
