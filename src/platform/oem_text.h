#pragma once

#include <cstddef>

// The command interpreter reads a batch file in the OEM code page, which
// differs from the ANSI one outside East Asia (1251 and 866 in Russian
// Windows, 1252 and 850 in Western European ones). Converts an ANSI text to
// its OEM form; false when a character has no OEM form that reads back as
// the same character (a best-fit look-alike would name another file), or the
// result does not fit `capacity` bytes.
bool AnsiToOem(const char* ansi, char* oem, std::size_t capacity);
