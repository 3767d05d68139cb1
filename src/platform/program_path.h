#pragma once

#include <cstddef>

// The running program's full path, in the ANSI form that names exactly it (on
// the NT family its short form where the code page lacks a character of the
// long one). False, with an empty buffer, when there is none or it does not
// fit: before Vista a path that fills the buffer is left unterminated.
bool GetProgramPath(char* path, std::size_t capacity);

// The same in UTF-16, as the file system names it (the NT family): the ANSI
// form may hold a look-alike character where the code page lacks one. False,
// with an empty buffer, when it does not fit or the system has no such call.
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
