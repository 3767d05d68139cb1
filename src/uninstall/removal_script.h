#pragma once

#include <cstddef>
#include <string>

// The script that runs after the program has ended: it waits for a second
// copy started with /wait, deletes the program file and removes its folder
// (five tries), starts the program with /warning when its file is still
// there, naming the run's log for it to add its notice to, and deletes
// itself. Lines end in CR LF, the last has no line end.
//
// On Windows 95, 98 and Me the script lies in the temp folder under the first
// of "Uninstall_Vok.Bat", "Uninstall_Vok.1.Bat", "Uninstall_Vok.2.Bat" and so
// on that names no file yet, and runs the program itself. On the NT family it
// lies in a folder of its own with a copy of the program beside it, both
// under a random name; it runs only that copy, deletes the program file by
// the unique name the program gave itself, tries until the program folder
// is gone, and at its end deletes the copy, itself and its folder.
extern const char kRemovalScriptName[];

// Forms the Windows 95/98/Me script's name for `number`; false when it does
// not fit.
bool FormScriptName(int number, char* name, std::size_t capacity);

// Every path without a trailing backslash unless it is a drive root, in the
// form the interpreter reads.
struct HandOver {
    const char* program;       // the program file to delete
    const char* folder;        // the program folder
    const char* script;        // the script itself
    const char* copy;          // NT family: the program's copy beside the script
    const char* scriptFolder;  // NT family: the folder of the script and the copy
    unsigned long processId;   // NT family: the process the copy waits for
    unsigned long readyEvent;  // NT family: the event the first wait sets (an inherited handle)
    const char* log;           // the run's log, which the /warning run adds to; null without one
};

// `ntFamily` selects the script of the NT family; otherwise Windows 95, 98
// and Me wait for the second copy through "start /wait".
std::string FormRemovalScript(const HandOver& handOver, bool ntFamily);

// The interpreter's command line. On the NT family "cmd.exe /d /v:off /c
// NAME", NAME being the script's name alone, which holds only letters,
// digits and its dot: the interpreter starts in the script's folder, and no
// path, with whatever "%" or "&" it holds, passes through the command line.
// On Windows 95, 98 and Me the interpreter's path, "/c" and the script's path
// in quotes. False when it does not fit `capacity` bytes.
bool FormScriptCommandLine(const char* interpreter, const char* scriptPath, bool ntFamily, char* commandLine,
                           std::size_t capacity);

// A path for the script: every "%" doubled, so that the command interpreter
// does not take it for a variable.
std::string ScriptText(const char* path);
