#pragma once

// Logs, as kept, the program folder (the current directory `folder`, with its
// trailing backslash) when it still holds anything but the program itself,
// named `programName`: the removal script cannot remove it then. The line
// names what is left, folders with a trailing backslash.
void LogProgramFolderLeftovers(const char* folder, const char* programName);
