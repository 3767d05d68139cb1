#include "uninstall/removal_list.h"

#include <cstring>

#include "platform/path_text.h"

const char kListName[] = "Uninstall.lst";

namespace {

constexpr unsigned char kLowestTrailByte = 0x40;

// Windows reads a name that ends in a dot or a blank without them, and a
// device name (with any extension) as the device: the name checked and the
// name acted on would differ. "." and ".." end in a dot as well, so an entry
// never climbs; no installer writes them.
const char* const kDeviceNames[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
const char* const kNumberedDevices[] = {"COM", "LPT"};
// Superscript one, two and three in the Western code page also number a port.
const char kSuperscriptDigits[] = "\xB9\xB2\xB3";

bool SameLetters(const char* begin, const char* end, const char* upper) {
    for (const char* p = begin; p != end; ++p, ++upper) {
        char c = *p >= 'a' && *p <= 'z' ? static_cast<char>(*p - 'a' + 'A') : *p;
        if (*upper == '\0' || c != *upper) return false;
    }
    return *upper == '\0';
}

bool IsDeviceName(const char* begin, const char* end) {
    // The device is named by what stands before the first dot, blanks dropped.
    const char* base = begin;
    while (base != end && *base != '.') ++base;
    while (base != begin && base[-1] == ' ') --base;
    for (const char* device : kDeviceNames) {
        if (SameLetters(begin, base, device)) return true;
    }
    if (base - begin != 4) return false;
    unsigned char number = static_cast<unsigned char>(begin[3]);
    bool numbered = (number >= '1' && number <= '9') || (number != 0 && std::strchr(kSuperscriptDigits, number));
    for (const char* device : kNumberedDevices) {
        if (numbered && SameLetters(begin, begin + 3, device)) return true;
    }
    return false;
}

bool IsForbiddenInName(unsigned char c) {
    return c < 0x20 || std::strchr("<>:\"|?*", c) != nullptr;
}

// A part is an empty one (between doubled separators, or after a last one,
// which names nothing of its own) or a name. A name must be read alike by
// every path function: no character Windows refuses in names (a trail byte
// of a double-byte character may have any value and is none), no dot or
// blank at its end, no device.
enum class PartKind { Empty, Literal, Ambiguous };

PartKind ClassifyPart(const char* begin, const char* end) {
    if (begin == end) return PartKind::Empty;
    const char* last = begin;
    for (const char* p = begin; p != end; p = CharNextDbcs(p)) {
        if (CharNextDbcs(p) == p + 1 && IsForbiddenInName(static_cast<unsigned char>(*p))) return PartKind::Ambiguous;
        last = p;
    }
    if (*last == '.' || *last == ' ') return PartKind::Ambiguous;
    return IsDeviceName(begin, end) ? PartKind::Ambiguous : PartKind::Literal;
}

}  // namespace

EntryCheck CheckEntry(const char* entry) {
    // A leading separator makes the entry rooted or a UNC path; a colon in
    // its first part makes a drive.
    if (IsPathSeparator(static_cast<unsigned char>(entry[0]))) return EntryCheck::Outside;
    if (entry[0] != '\0' && entry[1] == ':') return EntryCheck::Outside;
    const char* part = entry;
    for (const char* p = entry;; p = CharNextDbcs(p)) {
        // No double-byte code page has a trail byte below 0x40: a lead byte
        // before a colon, dot or slash may be read as a character of its own.
        if (CharNextDbcs(p) == p + 2 && static_cast<unsigned char>(p[1]) < kLowestTrailByte) {
            return EntryCheck::Ambiguous;
        }
        if (*p != '\0' && !IsPathSeparator(static_cast<unsigned char>(*p))) continue;
        if (ClassifyPart(part, p) == PartKind::Ambiguous) return EntryCheck::Ambiguous;
        if (*p == '\0') return EntryCheck::Accepted;
        part = p + 1;
    }
}

EntryCheck FormEntryPath(char* line, const char* folder, char* path, std::size_t capacity) {
    StripTrailingSpaces(line);
    if (*line == '\0') return EntryCheck::Empty;
    EntryCheck check = CheckEntry(line);
    if (check != EntryCheck::Accepted) return check;
    if (!FormatInto(path, capacity, "%s%s", folder, line)) return EntryCheck::TooLong;
    return EntryCheck::Accepted;
}

RemovalList ReadRemovalList(const std::string& text, const char* folder) {
    RemovalList list;
    std::string line;
    char path[kPathSize];
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        line.assign(text, start, end - start);
        start = end + 1;
        EntryCheck check = FormEntryPath(&line[0], folder, path, sizeof(path));
        switch (check) {
            case EntryCheck::Accepted: list.paths.emplace_back(path); break;
            case EntryCheck::Empty: break;
            case EntryCheck::Outside:
            case EntryCheck::Ambiguous:
            case EntryCheck::TooLong: list.refused.push_back({line.c_str(), check}); break;
        }
    }
    return list;
}
