#pragma once

#include <cstddef>

// Replaces the name component of `path` (after its last separator) by
// `name`. False, with `path` unchanged, when the result would not fit the
// buffer of `capacity` bytes: a cut path would name some other file.
bool ReplaceFileName(char* path, std::size_t capacity, const char* name);

// Whether `s` holds a backslash character; a DBCS trail byte of the same
// value does not count.
bool ContainsBackslash(const char* s);
