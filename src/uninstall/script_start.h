#pragma once

#include <cstddef>

// The command interpreter that runs the removal script: the one COMSPEC
// names, else the system's own (cmd.exe in the system folder on the NT
// family, command.com in the Windows folder on Windows 95, 98 and Me). False
// when no path fits `capacity` bytes.
bool CommandInterpreter(char* path, std::size_t capacity);

// Writes the removal script, as a new file, into the temp folder and starts
// it with the parent of the program folder as the current directory, for
// both this process and the script. The program folder must be the current
// directory. False when the script could not be written or started (a path
// the interpreter cannot read among them): the program and its folder then
// stay.
bool StartRemovalScript(const char* programPath);
