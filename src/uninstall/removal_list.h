#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The list file of installed files, beside the program.
extern const char kListName[];

// What one line of the list comes to.
enum class EntryCheck {
    Accepted,   // the full path was formed
    Empty,      // nothing left after stripping: skipped
    Outside,    // absolute, with a drive or UNC prefix: refused
    Ambiguous,  // a part Windows may read as another name or a device: refused
    TooLong,    // the full path does not fit a path buffer: refused, never cut
};

// Whether a relative entry names one object below the folder it is appended
// to, the same one for every path function and for an open by literal name:
// no root or drive, and every part a name without a dot or blank at its end,
// without a character Windows refuses in names, and no device ("CON",
// "com1.txt"). "." and ".." are refused with the rest: an entry never climbs.
EntryCheck CheckEntry(const char* entry);

// Strips `line` in place (trailing carriage returns, line feeds, blanks and
// tabs; leading blanks stay) and forms folder + entry into `path`. `folder`
// ends in a backslash.
EntryCheck FormEntryPath(char* line, const char* folder, char* path, std::size_t capacity);

// An entry that was Outside, Ambiguous or TooLong, as the list gives it (stripped).
struct RefusedEntry {
    std::string entry;
    EntryCheck check;
};

// The full paths the list names, in list order, from the list's bytes.
struct RemovalList {
    std::vector<std::string> paths;
    std::vector<RefusedEntry> refused;
};

// A line ends at a line feed; a zero byte ends its text early, as it would
// for a line read into a C string. A line is one entry however long it is.
RemovalList ReadRemovalList(const std::string& text, const char* folder);
