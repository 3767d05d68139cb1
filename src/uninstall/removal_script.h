#pragma once

#include <cstddef>
#include <string>

// The script that runs after the program has ended: it waits for a second
// copy started with /wait, deletes the program file and removes its folder
// (five tries), starts the program with /warning when its file is still
// there, and deletes itself. Lines end in CR LF, the last has no line end.
// The script's name is the first of "Uninstall_Vok.Bat", "Uninstall_Vok.1.Bat",
// "Uninstall_Vok.2.Bat" and so on that names no file yet.
extern const char kRemovalScriptName[];

// Forms the script's name for `number`; false when it does not fit.
bool FormScriptName(int number, char* name, std::size_t capacity);

// `ntFamily` selects the first line: Windows 95, 98 and Me wait for the
// second copy through "start /wait". `folder` is the program folder without
// a trailing backslash unless it is a drive root.
std::string FormRemovalScript(const char* programPath, const char* folder, const char* scriptPath,
                              bool ntFamily);

// A path for the script: every "%" doubled, so that the command interpreter
// does not take it for a variable.
std::string ScriptText(const char* path);
