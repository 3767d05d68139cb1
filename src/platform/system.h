#pragma once

#include <windows.h>

// The NT major version, or 0 on Windows 95, 98 and Me. Asked once.
int WinNT();

// True for a 32-bit process on 64-bit Windows. Asked again on every call
// until the system gives an answer.
bool IsWow64();

// -1, 0 or 1 as a sorts before, equal to or after b, ignoring case; -2 when the
// comparison fails. Callers only test for 0.
int CompareNoCase(const char* a, const char* b);

bool WideToAnsi(const wchar_t* src, char* dst, int size);

void EnableDlgItem(HWND dialog, int id, unsigned char enable);
