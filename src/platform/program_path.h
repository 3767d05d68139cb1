#pragma once

#include <cstddef>

// The running program's full path. False, with an empty buffer, when it does
// not fit: before Vista a path that fills the buffer is left unterminated.
bool GetProgramPath(char* path, std::size_t capacity);

// The same as a Unicode path, which names the file exactly where the ANSI
// path may name a look-alike. `capacity` counts characters. False, with an
// empty buffer, when it does not fit.
bool GetProgramPathW(wchar_t* path, std::size_t capacity);

// The environment variable that holds the program file's path once the
// running program has renamed itself: the process and the programs it starts
// name the file as it now is (GetModuleFileName still gives the old name).
extern const char kProgramFileVariable[];

// The program file's path as it now is: the variable's value when it is set,
// else the running program's path. False, with an empty buffer, when it does
// not fit.
bool GetProgramFilePath(char* path, std::size_t capacity);

// The full path of the file `name` in the running program's folder. False when
// the program's own path or the result does not fit: a cut path would name
// another file.
bool PathBesideProgram(const char* name, char* path, std::size_t capacity);
