#include "uninstall/temporary_name.h"

#include <cstring>

#include "platform/path_text.h"

namespace {

const char kStemCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
const char kUniqueExtension[] = ".old";

bool IsStemCharacter(char c) {
    return c != '\0' && std::strchr(kStemCharacters, c) != nullptr;
}

// Whether `text` is ".", `least` to `most` characters that `accepted` takes,
// and `ending`.
bool HasTail(const char* text, std::size_t least, std::size_t most, bool (*accepted)(char), const char* ending) {
    if (*text++ != '.') return false;
    std::size_t count = 0;
    while (accepted(*text)) {
        ++text;
        ++count;
    }
    return count >= least && count <= most && std::strcmp(text, ending) == 0;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool FormTemporaryName(const char* path, int number, char* name, std::size_t capacity) {
    return FormatInto(name, capacity, "%s.%d.tmp", path, number);
}

void FormRandomStem(std::uint64_t random, char* stem) {
    constexpr std::uint64_t kBase = sizeof(kStemCharacters) - 1;
    for (std::size_t i = 0; i < kRandomStemLength; ++i) {
        stem[i] = kStemCharacters[random % kBase];
        random /= kBase;
    }
    stem[kRandomStemLength] = '\0';
}

bool FormUniqueProgramName(const char* programName, const char* stem, char* name, std::size_t capacity) {
    return FormatInto(name, capacity, "%s.%s%s", programName, stem, kUniqueExtension);
}

bool IsUniqueProgramName(const char* programName, const char* name) {
    // The program's own name may come back in another case; the file system
    // compares ASCII letters without it.
    std::size_t length = std::strlen(programName);
    if (std::strlen(name) <= length) return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (AsciiLower(programName[i]) != AsciiLower(name[i])) return false;
    }
    return HasTail(name + length, kRandomStemLength, kRandomStemLength, IsStemCharacter, kUniqueExtension);
}

bool IsTemporaryName(const char* name) {
    // The number starts after the last dot but one.
    const char* extension = std::strrchr(name, '.');
    if (!extension || extension == name) return false;
    const char* number = extension - 1;
    while (number > name && IsDigit(*number)) --number;
    return number > name && HasTail(number, 1, 3, IsDigit, ".tmp");
}
