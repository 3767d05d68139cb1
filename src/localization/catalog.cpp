#include "localization/catalog.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "localization/crc32.h"
#include "platform/error_handler.h"

LanguageCatalog Catalog;

namespace {

// The only line separator the lookups know; raw line ends become this.
constexpr char kLineEnd = '\f';
// A value is copied from this far into its line: key, "=" and the quote.
constexpr int kValueOffset = kCatalogKeySize + 2;
// The last line has no separator to stop at, so its value is cut here.
constexpr int kLastLineValueLimit = 255;
constexpr int kUnscaledPercent = 100;
// The prefix byte of each kind of key; kind 2 has no user in this program.
const char kKindPrefixes[] = {'s', '$', '@'};
constexpr int kKindCount = sizeof(kKindPrefixes);

char UnescapedByte(char c) {
    switch (c) {
        case 'n': return '\n';
        case 'r': return '\r';
        case 't': return '\t';
        default: return c;  // \" and \\ stand for themselves
    }
}

bool IsEscapable(char c) {
    return c == '"' || c == '\\' || c == 'n' || c == 'r' || c == 't';
}

// atoi's reading, without its undefined result for numbers out of range.
int ReadPercent(const char* s) {
    long value = std::strtol(s, nullptr, 10);
    return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

// How much of `count` bytes fits in `limit` without splitting a character:
// a lead byte cut from its trail byte shows as a stray glyph.
std::size_t CharacterBoundary(const LeadByteTableData& leadBytes, const char* text, std::size_t count,
                              std::size_t limit) {
    if (count <= limit) return count;
    std::size_t at = 0;
    while (at < limit) {
        const bool lead = leadBytes.MultiByte && leadBytes.LeadByte[static_cast<unsigned char>(text[at])];
        const std::size_t step = lead && at + 1 < count ? 2 : 1;
        if (at + step > limit) break;
        at += step;
    }
    return at;
}

// Copies at most capacity - 1 bytes, whole characters only, and terminates;
// the regions may overlap.
void CopyCut(const LeadByteTableData& leadBytes, char* out, std::size_t capacity, const char* from,
             std::size_t count) {
    if (capacity == 0) return;
    count = CharacterBoundary(leadBytes, from, count, capacity - 1);
    std::memmove(out, from, count);
    out[count] = '\0';
}

// A code page number has at most five digits (65001).
constexpr std::size_t kCodePageDigits = 5;

uint32_t KeyPrefixState(int kind, const char* context) {
    const char prefix = kind >= 0 && kind < kKindCount ? kKindPrefixes[kind] : '\0';
    uint32_t state = Crc32(0xFFFFFFFFu, &prefix, 1);
    if (context) state = Crc32(state, context, std::strlen(context));
    return state;
}

void WriteKey(uint32_t crc, char (&key)[kCatalogKeySize + 1]) {
    static const char kDigits[] = "0123456789abcdef";
    for (int i = kCatalogKeySize - 1; i >= 0; --i, crc >>= 4) key[i] = kDigits[crc & 0xF];
    key[kCatalogKeySize] = '\0';
}

int CompareKeys(const char* a, const char* b) {
    return std::strncmp(a, b, kCatalogKeySize);
}

}  // namespace

void LineIndex::Append(uint32_t offset) {
    if (count + 1 > capacity) {
        int32_t grown = capacity + capacity / 4 + 32;
        if (grown < count + 1) grown = count + 1;
        void* block = std::realloc(offsets, static_cast<std::size_t>(grown) * sizeof(uint32_t));
        if (!block) ErrorHandler::OutOfMemory();
        offsets = static_cast<uint32_t*>(block);
        capacity = grown;
    }
    offsets[count++] = offset;
}

void LineIndex::Release() {
    std::free(offsets);
    offsets = nullptr;
    count = 0;
    capacity = 0;
}

void MakeCatalogKey(int kind, const char* context, const char* text, char (&key)[kCatalogKeySize + 1]) {
    WriteKey(~Crc32(KeyPrefixState(kind, context), text, std::strlen(text)), key);
}

void MakeCatalogKeyUtf16(int kind, const char* context, const ResourceText& text, char (&key)[kCatalogKeySize + 1]) {
    WriteKey(~Crc32(KeyPrefixState(kind, context), text.bytes, text.units * 2), key);
}

unsigned ReadCatalogCodePage(const char* bytes, std::size_t size) {
    const std::size_t named = sizeof(kCatalogCodePageLine) - 1;
    for (std::size_t line = 0; line < size;) {
        std::size_t end = line;
        while (end < size && bytes[end] != '\r' && bytes[end] != '\n') ++end;
        if (end - line > named && std::memcmp(bytes + line, kCatalogCodePageLine, named) == 0) {
            unsigned number = 0;
            std::size_t at = line + named;
            for (; at < end && at - line < named + kCodePageDigits && bytes[at] >= '0' && bytes[at] <= '9'; ++at) {
                number = number * 10 + static_cast<unsigned>(bytes[at] - '0');
            }
            if (at == end && number != 0) return number;
        }
        line = end + 1;
    }
    return 0;
}

char* AllocateCatalogSection() {
    char* block = static_cast<char*>(std::malloc(kCatalogSectionSize + kCatalogSectionSpare));
    if (block) block[kCatalogSectionSize] = '\0';
    return block;
}

int FindCatalogMarker(const unsigned char* block, int count) {
    for (int i = 0; i <= count - kCatalogBlockOverlap; ++i) {
        if (std::memcmp(block + i, kCatalogMarker, kCatalogMarkerCompared) == 0) return i;
    }
    return -1;
}

int UnescapeCatalogText(char* text, int count) {
    int write = 0;
    for (int read = 0; read < count && text[read] != '\0'; ++read) {
        char c = text[read];
        if (c == '\\' && read + 1 < count && IsEscapable(text[read + 1])) {
            text[write++] = UnescapedByte(text[++read]);
        } else if (c == '\r' || c == '\n') {
            text[write++] = kLineEnd;
        } else {
            text[write++] = c;
        }
    }
    text[write] = '\0';
    return write;
}

void LanguageCatalog::Release() {
    std::free(text);
    text = nullptr;
    length = 0;
    index.Release();
    codePage = kLegacyKeysCodePage;
}

void LanguageCatalog::AdoptSection(char* block, int count) {
    Release();
    text = block;
    length = UnescapeCatalogText(text, std::clamp(count, 0, kCatalogSectionSize));
    // The first line is the marker's; a line in the last 8 bytes cannot hold a key.
    for (int32_t j = 1; j <= length - 9; ++j) {
        if (text[j - 1] == kLineEnd && text[j] != kLineEnd) index.Append(static_cast<uint32_t>(j));
    }
    const char* lines = text;
    std::sort(index.offsets, index.offsets + index.count,
              [lines](uint32_t a, uint32_t b) { return CompareKeys(lines + a, lines + b) < 0; });
}

bool LanguageCatalog::LoadSection(const void* bytes, std::size_t size) {
    char* block = AllocateCatalogSection();
    if (!block) return false;
    int count = static_cast<int>(std::min<std::size_t>(size, kCatalogSectionSize));
    if (count > 0) std::memcpy(block, bytes, static_cast<std::size_t>(count));
    AdoptSection(block, count);
    return true;
}

const char* LanguageCatalog::FindSorted(const char* key) const {
    int32_t low = 0;
    int32_t count = index.count;
    while (count > 0) {
        int32_t half = count / 2;
        const char* line = text + index.offsets[low + half];
        int order = CompareKeys(key, line);
        if (order == 0) return line;
        if (order < 0) {
            count = half;
        } else {
            low += half + 1;
            count -= half + 1;
        }
    }
    return nullptr;
}

const char* LanguageCatalog::FindLinear(const char* key) const {
    if (!text) return nullptr;
    const char* line = text;
    while (*line != '\0') {
        // Each test stops at the terminating zero, so a short last line is safe.
        if (CompareKeys(key, line) == 0 && line[kCatalogKeySize] == '=' && line[kCatalogKeySize + 1] == '"') {
            return line;
        }
        while (*line != '\0' && *line != kLineEnd) ++line;
        while (*line == kLineEnd) ++line;
    }
    return nullptr;
}

void LanguageCatalog::Translate(const char* text, char* out, std::size_t outCapacity, int kind,
                                const char* context) const {
    char key[kCatalogKeySize + 1];
    MakeCatalogKey(kind, context, text, key);
    TranslateKey(IsLoaded() ? key : nullptr, text, out, outCapacity);
}

bool LanguageCatalog::TranslateSource(const char* text, const ResourceText& source, char* out,
                                      std::size_t outCapacity, int kind, const char* context) const {
    char key[kCatalogKeySize + 1];
    if (KeysOverUtf16()) {
        MakeCatalogKeyUtf16(kind, context, source, key);
    } else {
        MakeCatalogKey(kind, context, text, key);
    }
    return TranslateKey(IsLoaded() && (source.bytes || !KeysOverUtf16()) ? key : nullptr, text, out, outCapacity);
}

bool LanguageCatalog::TranslateKey(const char* key, const char* text, char* out, std::size_t outCapacity) const {
    const char* line = nullptr;
    if (key) {
        line = FindSorted(key);
        if (!line) line = FindLinear(key);
    }
    if (!line) {
        if (out != text) CopyCut(*leadBytes, out, outCapacity, text, std::strlen(text));
        return false;
    }
    // A matched line holds at least the key; what follows it may be the end
    // of the text, where the value is empty rather than read beyond it.
    const char* value = line + kCatalogKeySize;
    for (int i = kCatalogKeySize; i < kValueOffset && *value != '\0'; ++i) ++value;
    const char* end = value;
    while (*end != '\0' && *end != kLineEnd) ++end;
    if (*end == kLineEnd) {
        ++end;
    } else {
        end = value + CharacterBoundary(*leadBytes, value, static_cast<std::size_t>(end - value), kLastLineValueLimit);
    }
    for (const char* quote = end; quote > value;) {
        if (*--quote == '"') {
            end = quote;
            break;
        }
    }
    CopyCut(*leadBytes, out, outCapacity, value, static_cast<std::size_t>(end - value));
    return true;
}

bool LanguageCatalog::GetDialogScale(const char* dialogName, int& widthPercent, int& heightPercent) const {
    char scale[kScaleTextSize];
    Translate("", scale, sizeof(scale), kDialogText, dialogName);
    const char* star = std::strchr(scale, '*');
    if (star) {
        widthPercent = ReadPercent(scale);
        heightPercent = ReadPercent(star + 1);
    } else {
        widthPercent = kUnscaledPercent;
        heightPercent = kUnscaledPercent;
    }
    return widthPercent != kUnscaledPercent || heightPercent != kUnscaledPercent;
}

void Translate(const char* text, char* out, std::size_t outCapacity, int kind, const char* context) {
    Catalog.Translate(text, out, outCapacity, kind, context);
}

void TranslateSource(const char* text, const ResourceText& source, char* out, std::size_t outCapacity, int kind,
                     const char* context) {
    Catalog.TranslateSource(text, source, out, outCapacity, kind, context);
}

bool GetDialogScale(const char* dialogName, int& widthPercent, int& heightPercent) {
    return Catalog.GetDialogScale(dialogName, widthPercent, heightPercent);
}
