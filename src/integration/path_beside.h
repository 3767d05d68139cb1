#pragma once

#include <cstddef>

// Replaces the name component of `path`, a buffer of `capacity` bytes, by
// `name`. False, with the path unchanged, when the result would not fit.
bool ReplacePathName(char* path, std::size_t capacity, const char* name);

// The full path of the file `name` in the running program's folder. False when
// the program's own path or the result does not fit: a cut path would name
// another file.
bool PathBesideProgram(const char* name, char* path, std::size_t capacity);
