#pragma once

#include <cstddef>

// The fourteen groups of archive extensions, in the order of their flags in
// IntegrationSettings and of their check boxes. Group 0 is the native format,
// group 1 zip.
constexpr int kAssociationGroupCount = 14;
constexpr int kNativeGroup = 0;
constexpr int kZipGroup = 1;
extern const char* const AssociationGroups[kAssociationGroupCount];
// The buffer an extension of a group is copied into.
constexpr std::size_t kExtensionSize = 52;

// Copies the extension at the start of `rest` (up to the next '.' that is not
// its first character) into `extension` and returns where the next one
// begins, the terminator after the last. An extension that does not fit is
// handed back empty: a cut one would name another extension.
const char* TakeGroupExtension(const char* rest, char* extension, std::size_t capacity);

// Calls visit(group, extension) for every extension of every group, groups in
// table order and each group's extensions from left to right.
template <typename Visit>
void ForEachGroupExtension(Visit visit) {
    for (int group = 0; group < kAssociationGroupCount; ++group) {
        const char* rest = AssociationGroups[group];
        while (*rest) {
            char extension[kExtensionSize];
            rest = TakeGroupExtension(rest, extension, sizeof(extension));
            if (extension[0] != '\0') visit(group, static_cast<const char*>(extension));
        }
    }
}

// The group's first extension, which keys its stored choice. False, with an
// empty buffer, when it does not fit.
bool GroupKeyExtension(int group, char* extension, std::size_t capacity);

// Equality of two texts, ignoring the case of ASCII letters only, so that the
// answer does not depend on the user's locale.
bool EqualsAsciiNoCase(const char* a, const char* b);
