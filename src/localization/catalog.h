#pragma once

#include <cstddef>
#include <cstdint>

#include "localization/resource_text.h"
#include "platform/path_text.h"

// The text catalog "uninstall.lng": translations found by the CRC-32 key of
// the original text, so that it needs neither message numbers nor control
// identifiers.

// What a key is computed for; the kind's prefix byte keeps the three kinds of
// text apart even when their bytes are the same.
constexpr int kMessageText = 0;
constexpr int kDialogText = 1;

constexpr int kCatalogKeySize = 8;
// The file's section is read up to this size; the block has a spare kilobyte.
constexpr int kCatalogSectionSize = 131072;
constexpr int kCatalogSectionSpare = 1024;
// The marker is searched in blocks of this size that overlap by the marker
// search's window, so that a marker across a block boundary is still found.
constexpr int kCatalogBlockSize = 8192;
constexpr int kCatalogBlockOverlap = 16;
constexpr int kCatalogMaxBlocks = 64;
// The first line of the section; it is recognised by its first 13 bytes,
// wherever they start.
constexpr char kCatalogMarker[] = "***messages***";
constexpr int kCatalogMarkerCompared = 13;

// A catalog names its code page on a line of its own before the marker:
// this, then the number in decimal. Without one it is a catalog of code page
// 936, whose keys are taken over the texts as the system's code page reads
// them. In any other code page a key is taken over the program's own text in
// UTF-16LE, read from its resources, and so is the same on every Windows.
constexpr char kCatalogCodePageLine[] = "codepage=";
constexpr unsigned kLegacyKeysCodePage = 936;
// The line is looked for in this many bytes from the start of the file.
constexpr int kCatalogHeadSize = 8192;

// The direction entry translates this text, in this context, to "RTL".
constexpr char kDirectionQuery[] = "LTR";
constexpr char kRightToLeft[] = "RTL";
// The direction query in UTF-16LE, for catalogs keyed over UTF-16.
constexpr uint8_t kDirectionQueryUtf16[] = {'L', 0, 'T', 0, 'R', 0};
// The buffers the direction and scale lookups translate into.
constexpr std::size_t kDirectionTextSize = 1024;
constexpr std::size_t kScaleTextSize = 512;

// Offsets of the catalog's lines, sorted by their first 8 bytes.
struct LineIndex {
    uint32_t* offsets = nullptr;
    int32_t count = 0;
    int32_t capacity = 0;

    // Grows by a quarter plus 32 entries; raises ErrorHandler::OutOfMemory
    // when it cannot.
    void Append(uint32_t offset);
    void Release();
};

struct HINSTANCE__;  // a module handle, without pulling in <windows.h>

class LanguageCatalog {
public:
    LanguageCatalog() = default;
    LanguageCatalog(const LanguageCatalog&) = delete;
    LanguageCatalog& operator=(const LanguageCatalog&) = delete;
    ~LanguageCatalog() { Release(); }

    // Reads the catalog section of `fileName` (beside the program unless the
    // name holds a backslash), then sets rtl from `resourceModule` or the
    // catalog. Nothing is reported when there is no catalog.
    void Load(const char* fileName, HINSTANCE__* resourceModule);
    bool IsLoaded() const { return text != nullptr; }

    // Takes over a block from AllocateCatalogSection that holds `count` bytes
    // of the section (negative: the read failed, which leaves an empty but
    // loaded catalog), then unescapes, indexes and sorts it.
    void AdoptSection(char* block, int count);
    // The same for a section in memory, of which at most kCatalogSectionSize
    // bytes are taken. False, with nothing loaded, when memory is short.
    bool LoadSection(const void* bytes, std::size_t size);

    // The line that starts with `key`, or null.
    const char* FindSorted(const char* key) const;
    // The first line in file order that starts with `key`, "=" and a quote.
    const char* FindLinear(const char* key) const;

    // Whether keys are taken over UTF-16 source texts rather than ANSI ones.
    bool KeysOverUtf16() const { return codePage != kLegacyKeysCodePage; }

    // The translation of `text`, or `text` itself, into `out` of
    // `outCapacity` bytes, cut to fit. `text` and `out` may be the same
    // buffer; `context` may be null. The key is taken over `text`.
    void Translate(const char* text, char* out, std::size_t outCapacity, int kind, const char* context) const;
    // The same for a text shown as `text` whose source in the resources is
    // `source`: the key is taken over whichever this catalog is keyed by. A
    // source of no bytes is no text of the resources: it is never translated
    // by a catalog keyed over UTF-16.
    // True when an entry gave the translation.
    bool TranslateSource(const char* text, const ResourceText& source, char* out, std::size_t outCapacity,
                         int kind, const char* context) const;
    // The translation under `key` (null: none), else `text` itself; true
    // for a translation.
    bool TranslateKey(const char* key, const char* text, char* out, std::size_t outCapacity) const;
    // Both percentages are 100 unless the catalog holds the dialog's scale.
    // True when either differs from 100.
    bool GetDialogScale(const char* dialogName, int& widthPercent, int& heightPercent) const;

    void Release();

    char* text = nullptr;
    int32_t length = 0;
    LineIndex index;
    unsigned char rtl = 0;
    unsigned codePage = kLegacyKeysCodePage;
    // A translation cut to its buffer ends before a double-byte character
    // that would not fit whole; the program's code page by default.
    const LeadByteTableData* leadBytes = &LeadByteTable;
};

// The program's catalog; its exit handler frees it.
extern LanguageCatalog Catalog;

// Translate and GetDialogScale through the program's catalog.
void Translate(const char* text, char* out, std::size_t outCapacity, int kind, const char* context);
void TranslateSource(const char* text, const ResourceText& source, char* out, std::size_t outCapacity, int kind,
                     const char* context);
bool GetDialogScale(const char* dialogName, int& widthPercent, int& heightPercent);

// The key of a text as 8 lowercase hexadecimal digits and a terminating zero.
void MakeCatalogKey(int kind, const char* context, const char* text, char (&key)[kCatalogKeySize + 1]);
// The same over a UTF-16LE text: prefix and context as bytes, then the text.
void MakeCatalogKeyUtf16(int kind, const char* context, const ResourceText& text, char (&key)[kCatalogKeySize + 1]);

// The code page that the code-page line among `size` bytes (the part of a
// catalog before its marker) names; 0 when none does.
unsigned ReadCatalogCodePage(const char* bytes, std::size_t size);

// A section block: kCatalogSectionSize bytes to read into, terminated, plus
// the spare. Null when memory is short. Freed with std::free.
char* AllocateCatalogSection();

// Where the section marker starts in the first `count` bytes of a block, or
// -1. A marker that starts in the last 15 bytes is left to the next block.
int FindCatalogMarker(const unsigned char* block, int count);

// The file offset of the section marker, or -1 when it lies beyond the
// blocks the search reads. `read(position, block, size)` reads up to `size`
// bytes at `position` and returns how many, or -1. Blocks overlap by the
// search window, so a marker across a block boundary is found in the next.
template <typename ReadAt>
int64_t ScanForCatalogMarker(ReadAt read) {
    unsigned char block[kCatalogBlockSize];
    int64_t position = 0;
    for (int i = 0; i < kCatalogMaxBlocks; ++i) {
        int count = read(position, block, kCatalogBlockSize);
        if (count < kCatalogBlockOverlap) return -1;
        int at = FindCatalogMarker(block, count);
        if (at >= 0) return position + at;
        position += count - kCatalogBlockOverlap;
    }
    return -1;
}

// Resolves the escapes and turns raw line ends into form feeds, in place, up
// to `count` bytes or the first zero byte; terminates the text and returns
// its length.
int UnescapeCatalogText(char* text, int count);
