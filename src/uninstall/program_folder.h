#pragma once

#include <cstddef>

// The folder of the running program: its path cut at the last backslash,
// which stays when it follows a drive colon ("X:\"). False when the path holds
// no backslash or the folder does not fit `capacity` bytes.
bool ProgramFolderOf(const char* programPath, char* folder, std::size_t capacity);
