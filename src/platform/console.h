#pragma once

// Writes `text` to the standard error the program was given (a deployment
// tool's pipe or file), else to the console of the process that started it.
// Nothing happens when there is neither: a program started from the desktop
// has no one to read it.
void WriteToParentConsole(const char* text);
