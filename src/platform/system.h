#pragma once

#include <windows.h>

#include <cstddef>

// The NT major version, or 0 on Windows 95, 98 and Me. Asked once.
int WinNT();

// Who can see the desktop the program's boxes appear on: nobody when the
// process's window station is not visible (a service, or SYSTEM under a
// deployment tool), nor on Vista and later in session 0, where no user logs
// on. Asked once.
enum class DesktopView { Seen, InvisibleWindowStation, SessionZero };
DesktopView ProcessDesktopView();
inline bool DesktopUnseen() { return ProcessDesktopView() != DesktopView::Seen; }

// Whether the process's window station is visible; true when the system
// cannot tell (Windows 95, 98 and Me have one, the user's). In a file of its
// own, window_station.cpp: Wine has no invisible window station, and a test
// build of the program replaces this one answer.
bool WindowStationVisible();

// True for a 32-bit process on 64-bit Windows. Asked again on every call
// until the system gives an answer.
bool IsWow64();

// -1, 0 or 1 as a sorts before, equal to or after b, ignoring case; -2 when the
// comparison fails. Callers only test for 0.
int CompareNoCase(const char* a, const char* b);

bool WideToAnsi(const wchar_t* src, char* dst, int size);

void EnableDlgItem(HWND dialog, int id, unsigned char enable);

// The path of `name` in the system folder, or in the Windows folder. False
// when the path would not fit the `capacity` bytes of `path`.
bool PathInSystemFolder(const char* name, char* path, std::size_t capacity);
bool PathInWindowsFolder(const char* name, char* path, std::size_t capacity);

// Loads a library of the system by its full path in the system folder, so
// that a file of the same name planted beside the program is never taken
// (the search order starts at the program's own folder). Null when it cannot
// be loaded or the path would not fit.
HMODULE LoadSystemLibrary(const char* name);
