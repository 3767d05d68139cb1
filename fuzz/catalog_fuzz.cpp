// Arbitrary bytes as a catalog section: loading, indexing, every lookup and
// every copy must stay inside the text and inside the caller's buffer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include <sanitizer/asan_interface.h>

#include "localization/catalog.h"
#include "localization/message_format.h"

namespace {

constexpr unsigned char kSentinel = 0xbd;
const std::size_t kCapacities[] = {0, 1, 2, 9, 255, 256, 512, 1024};

// Texts whose keys the seed catalogs hold, so that mutations keep hitting.
const struct {
    int kind;
    const char* context;
    const char* text;
} kQueries[] = {
    {kMessageText, nullptr, "abc"},
    {kMessageText, nullptr, "open"},
    {kDialogText, "LTR", "LTR"},
    {kDialogText, "SETUPDLG", "OK"},
    {2, "x", "y"},
    {9, nullptr, ""},
};

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

// The block has room beyond the text; a lookup that strays there would read
// stale bytes unnoticed unless they are poisoned.
std::size_t PoisonBeyondText(const LanguageCatalog& catalog) {
    std::size_t used = static_cast<std::size_t>(catalog.length) + 1;
    std::size_t rest = kCatalogSectionSize + kCatalogSectionSpare - used;
    ASAN_POISON_MEMORY_REGION(catalog.text + used, rest);
    return rest;
}

void TranslateEverywhere(const LanguageCatalog& catalog, const char* text, int kind, const char* context) {
    for (std::size_t capacity : kCapacities) {
        std::vector<char> out(capacity + 8, static_cast<char>(kSentinel));
        catalog.Translate(text, out.data(), capacity, kind, context);
        for (std::size_t i = capacity; i < out.size(); ++i) Check(static_cast<unsigned char>(out[i]) == kSentinel);
        if (capacity) Check(std::memchr(out.data(), '\0', capacity) != nullptr);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FindCatalogMarker(data, static_cast<int>(size < kCatalogBlockSize ? size : kCatalogBlockSize));

    LanguageCatalog catalog;
    if (!catalog.LoadSection(data, size)) return 0;
    Check(catalog.length >= 0 && catalog.length <= kCatalogSectionSize && catalog.text[catalog.length] == '\0');
    std::size_t poisoned = PoisonBeyondText(catalog);

    // Every indexed line is found again by its own first 8 bytes.
    for (int32_t i = 0; i < catalog.index.count; ++i) {
        char key[kCatalogKeySize + 1];
        std::memcpy(key, catalog.text + catalog.index.offsets[i], kCatalogKeySize);
        key[kCatalogKeySize] = '\0';
        const char* found = catalog.FindSorted(key);
        Check(found != nullptr && std::strncmp(found, key, kCatalogKeySize) == 0);
        catalog.FindLinear(key);
    }

    for (const auto& query : kQueries) TranslateEverywhere(catalog, query.text, query.kind, query.context);
    // The first line of the input as a text of its own.
    std::vector<char> firstLine(data, data + std::min<std::size_t>(size, 300));
    firstLine.push_back('\0');
    TranslateEverywhere(catalog, firstLine.data(), kMessageText, nullptr);
    IsSingleStringFormat(firstLine.data());

    int width = 0;
    int height = 0;
    catalog.GetDialogScale("SETUPDLG", width, height);
    catalog.GetDialogScale("", width, height);
    ASAN_UNPOISON_MEMORY_REGION(catalog.text + catalog.length + 1, poisoned);
    return 0;
}
