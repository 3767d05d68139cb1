#pragma once

#include <cstddef>
#include <cstdint>

// A file in use is renamed to its full path followed by ".N.tmp", N being the
// first of 0 to kTemporaryNameCount - 1 that names no existing file.
constexpr int kTemporaryNameCount = 1000;

// Forms "path.N.tmp"; false when it does not fit `capacity` bytes.
bool FormTemporaryName(const char* path, int number, char* name, std::size_t capacity);

// Names that others cannot foresee, and so cannot take first: eight capital
// letters and digits drawn from `random`, which must hold at least 42 random
// bits. `stem` gets them with a terminator.
constexpr std::size_t kRandomStemLength = 8;
void FormRandomStem(std::uint64_t random, char* stem);

// The running program renames itself, before it hands over, to
// "NAME.STEM.old" in its own folder (NAME its own name): once it has ended,
// nothing deletes a file under its old name, which the next version's
// installer may have used again. False when it does not fit.
bool FormUniqueProgramName(const char* programName, const char* stem, char* name, std::size_t capacity);

// What an interrupted uninstallation leaves beside the program: the
// program's unique names, and files in use renamed to "NAME.N.tmp", which
// wait for the restart.
bool IsUniqueProgramName(const char* programName, const char* name);
bool IsTemporaryName(const char* name);
