#pragma once

// Whether `s` holds a backslash character; a DBCS trail byte of the same
// value does not count.
bool ContainsBackslash(const char* s);
