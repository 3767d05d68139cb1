#pragma once

#include <cstddef>

// The full path of the file `name` in the running program's folder. False when
// the program's own path or the result does not fit: a cut path would name
// another file.
bool PathBesideProgram(const char* name, char* path, std::size_t capacity);
