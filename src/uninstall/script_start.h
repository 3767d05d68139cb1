#pragma once

#include <cstddef>

// The command interpreter that runs the removal script: on the NT family
// always cmd.exe in the system folder, never one the environment names; on
// Windows 95, 98 and Me the one COMSPEC names, else command.com in the
// Windows folder. False when no path fits `capacity` bytes.
bool CommandInterpreter(char* path, std::size_t capacity);

enum class HandOverResult { Started, NotRenamed, NotStarted };

// Hands the deletion of the program file and its folder over to the removal
// script (removal_script.h). The program folder must be the current
// directory; afterwards its parent is. On the NT family the program first
// renames itself (self_rename.h), and the script with the program's copy goes
// into a folder of its own under a random name: in the system's Temp folder,
// private to the administrators, when the program runs elevated, else in the
// user's temp folder; the interpreter starts there. On Windows 95, 98 and Me
// the script goes into the temp folder and starts in the parent of the
// program folder. Anything short of a started script leaves the program file
// under its own name and its folder in place.
HandOverResult StartRemovalScript(const char* programPath);
