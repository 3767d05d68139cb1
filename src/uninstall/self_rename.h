#pragma once

#include <cstddef>

// On the NT family a running program can be renamed, though not deleted.
// Renames it to a unique name in its own folder (temporary_name.h), through
// its Unicode path, and records that name in kProgramFileVariable. Its ANSI
// `programPath` must name exactly the same file, since the removal script
// deletes the file by that name; `uniquePath` gets the new ANSI path. False
// when nothing was renamed.
bool RenameRunningProgram(const char* programPath, char* uniquePath, std::size_t capacity);

// Gives the program its name back after a hand-over that failed, so that the
// file stays where the user expects it. A new file under the old name keeps
// it under its unique name.
void RestoreProgramName(const char* programPath, const char* uniquePath);
