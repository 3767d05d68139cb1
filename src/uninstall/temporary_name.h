#pragma once

#include <cstddef>

// A file in use is renamed to its full path followed by ".N.tmp", N being the
// first of 0 to kTemporaryNameCount - 1 that names no existing file.
constexpr int kTemporaryNameCount = 1000;

// Forms "path.N.tmp"; false when it does not fit `capacity` bytes.
bool FormTemporaryName(const char* path, int number, char* name, std::size_t capacity);
