#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>

// Opens `path` for writing, as CreateFile with `disposition`, others may only
// read it, and never through a link: on the NT family a link at the name is
// opened itself, and then refused with everything else that is not a plain
// file of one name (a hard link shares its data with another name, which may
// be anything). INVALID_HANDLE_VALUE, with ERROR_CANT_ACCESS_FILE for a file
// refused, when nothing fit for writing was opened.
HANDLE OpenOwnFile(const char* path, DWORD disposition);

// Forms the name for `number` into `name`; false when it does not fit.
using TempFileName = std::function<bool(int number, char* name, std::size_t capacity)>;

// Creates a new file for writing in the temp folder, under the first of the
// names `nameOf` forms for `first` to `last` that no file has yet: whatever
// stands under a name already (a stale file, or one or a link planted by a
// process without our rights) is never opened, replaced or followed. Others
// may only read the file while it is open. Its path goes to `path`;
// INVALID_HANDLE_VALUE when no file could be made.
HANDLE CreateNewTempFile(const TempFileName& nameOf, int first, int last, char* path, std::size_t capacity);
