#include "integration/association_groups.h"

#include <cstring>

const char* const AssociationGroups[kAssociationGroupCount] = {
    ".vok", ".zip", ".cab", ".arj", ".lzh.lha", ".ace", ".7z", ".tar", ".gz.tgz", ".uue.xxe.uu",
    ".bz2.tbz2.bz.tbz", ".jar", ".iso", ".z.taz",
};

const char* TakeGroupExtension(const char* rest, char* extension, std::size_t capacity) {
    std::size_t length = *rest ? 1 : 0;
    while (rest[length] && rest[length] != '.') ++length;
    if (capacity == 0) return rest + length;
    if (length < capacity) {
        std::memcpy(extension, rest, length);
        extension[length] = '\0';
    } else {
        extension[0] = '\0';
    }
    return rest + length;
}

bool GroupKeyExtension(int group, char* extension, std::size_t capacity) {
    TakeGroupExtension(AssociationGroups[group], extension, capacity);
    return capacity != 0 && extension[0] != '\0';
}

bool EqualsAsciiNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        unsigned char x = static_cast<unsigned char>(*a);
        unsigned char y = static_cast<unsigned char>(*b);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
        if (x == '\0') return true;
    }
}
