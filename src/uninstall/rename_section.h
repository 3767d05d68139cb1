#pragma once

#include <cstddef>
#include <string>

// Windows 95, 98 and Me delete a file at the next restart when "wininit.ini"
// in the Windows folder holds the line "NUL=<short path>" in its section
// "Rename". The profile service keeps one value per key, so each file's line
// is added to the whole section instead of written as the value of "NUL".
extern const char kWininitName[];
extern const char kRenameSection[];

// `section` is a section as the profile service hands it out: lines each
// ending in a zero byte, then one more zero byte; `length` bytes of it are
// valid, not counting that last zero. The result, in the same form, keeps
// every line and ends with "NUL=<shortPath>" unless the section holds that
// line already.
std::string AddDeletionLine(const char* section, std::size_t length, const char* shortPath);
