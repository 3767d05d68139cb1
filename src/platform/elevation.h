#pragma once

#include <cstddef>

// Whether this process runs elevated: its token's TokenElevation is 1
// (Windows Vista and later). Before Vista every process of an administrator
// has the same rights, and nothing is elevated.
bool RunsElevated();

// "Temp" in the system's own Windows folder (GetSystemWindowsDirectory, not
// the SystemRoot of the environment), with a trailing backslash: a file or
// folder an elevated process creates there is out of reach of the user's
// unelevated processes. False before Windows 2000 or when it does not fit.
bool SystemTempFolder(char* path, std::size_t capacity);

// Creates the folder `path` as a new one. When `privateToAdministrators`,
// only SYSTEM and the Administrators may use it or anything in it, whatever
// its parent lets others do (its access list inherits nothing); that
// takes Windows 2000 or later. False when it exists or cannot be made.
bool CreateNewFolder(const char* path, bool privateToAdministrators);
