#pragma once

#include <cstddef>

// The running program's full path. False, with an empty buffer, when it does
// not fit: before Vista a path that fills the buffer is left unterminated.
bool GetProgramPath(char* path, std::size_t capacity);

// The full path of the file `name` in the running program's folder. False when
// the program's own path or the result does not fit: a cut path would name
// another file.
bool PathBesideProgram(const char* name, char* path, std::size_t capacity);
