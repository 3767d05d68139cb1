#include "uninstall/removal_list.h"

#include <cstring>

#include "platform/path_text.h"

const char kListName[] = "Uninstall.lst";

namespace {

constexpr unsigned char kLowestTrailByte = 0x40;

// A name made of dots and blanks alone, other than "." and "..", may be
// read as either by the system's path rules; such an entry is refused.
enum class ComponentKind { Name, Empty, Current, Parent, Ambiguous };

ComponentKind ClassifyComponent(const char* begin, const char* end) {
    if (begin == end) return ComponentKind::Empty;
    for (const char* p = begin; p != end; ++p) {
        if (*p != '.' && *p != ' ') return ComponentKind::Name;
    }
    std::size_t length = static_cast<std::size_t>(end - begin);
    if (length == 1 && *begin == '.') return ComponentKind::Current;
    if (length == 2 && begin[0] == '.' && begin[1] == '.') return ComponentKind::Parent;
    return ComponentKind::Ambiguous;
}

}  // namespace

bool StaysInsideFolder(const char* entry) {
    // A leading separator makes the entry rooted or a UNC path.
    if (IsPathSeparator(static_cast<unsigned char>(entry[0]))) return false;
    int depth = 0;
    const char* component = entry;
    for (const char* p = entry;; p = CharNextDbcs(p)) {
        // A colon makes a drive, a device or a stream; no installed file needs one.
        if (*p == ':') return false;
        // No double-byte code page has a trail byte below 0x40: a lead byte
        // before a colon, dot or slash may be read as a character of its own.
        if (CharNextDbcs(p) == p + 2 && static_cast<unsigned char>(p[1]) < kLowestTrailByte) return false;
        if (*p != '\0' && !IsPathSeparator(static_cast<unsigned char>(*p))) continue;
        switch (ClassifyComponent(component, p)) {
            case ComponentKind::Name: ++depth; break;
            case ComponentKind::Parent:
                if (--depth < 0) return false;
                break;
            case ComponentKind::Ambiguous: return false;
            case ComponentKind::Empty:
            case ComponentKind::Current: break;
        }
        if (*p == '\0') return true;
        component = p + 1;
    }
}

EntryCheck FormEntryPath(char* line, const char* folder, char* path, std::size_t capacity) {
    StripTrailingSpaces(line);
    if (*line == '\0') return EntryCheck::Empty;
    if (!StaysInsideFolder(line)) return EntryCheck::Outside;
    if (!FormatInto(path, capacity, "%s%s", folder, line)) return EntryCheck::TooLong;
    return EntryCheck::Accepted;
}

std::vector<std::size_t> FoldersOnTheWay(const char* path, std::size_t folderLength) {
    std::vector<std::size_t> ends;
    const char* component = path + folderLength;
    for (const char* p = component; *p; p = CharNextDbcs(p)) {
        if (!IsPathSeparator(static_cast<unsigned char>(*p))) continue;
        if (ClassifyComponent(component, p) == ComponentKind::Name) ends.push_back(static_cast<std::size_t>(p - path));
        component = p + 1;
    }
    return ends;
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
            case EntryCheck::TooLong: list.refused.push_back({line.c_str(), check}); break;
        }
    }
    return list;
}
