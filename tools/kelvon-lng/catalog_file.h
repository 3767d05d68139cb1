#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "localization/catalog.h"

// Where a line of the file stands for the program.
enum class LinePlace {
    BeforeMarker,  // ignored
    Section,       // read
    Cut,           // read up to the end of the part the program reads
    Beyond,        // never read
};

struct CatalogLine {
    int number = 0;          // counted from 1; CR LF, CR and LF each end a line
    std::size_t start = 0;   // the line's bytes in the file, without its line end
    std::size_t end = 0;
    LinePlace place = LinePlace::BeforeMarker;
    int32_t textOffset = -1;  // where the program's text holds it (Section and Cut)
    std::string text;         // unescaped, as far as the program reads it

    // What the lines above an entry say about it (entries only).
    std::vector<std::string> comments;  // the translator's own lines, "#" and all
    std::vector<std::string> uses;      // from the tool's comment: "message 5107", ...
    std::string source;                 // the text the tool's comment shows, escaped
    bool needsReview = false;           // the source text changed since it was translated
    std::string previous;               // the source text it was translated from, escaped

    // The shape of an entry: 8 hexadecimal digits, "=", a quote.
    bool IsEntry() const;
    // An entry whose key has uppercase digits, which never matches.
    bool HasUppercaseKey() const;
    std::string Key() const { return text.substr(0, kCatalogKeySize); }
    // What the entry means: everything after the opening quote up to the
    // last quote, or to the end of the line when there is no closing quote.
    std::string Value() const;
    bool IsClosed() const;
};

// A catalog file and the program's view of it.
struct CatalogFile {
    std::string bytes;
    // What its code-page line names, 0 without one: the program then keys it
    // by the texts as the system's code page reads them, as code page 936.
    unsigned namedCodePage = 0;
    // Where the program finds the marker; -1 when it does not.
    int64_t marker = -1;
    // The first marker anywhere, which the checks follow when the program
    // misses it; -1 when there is none.
    int64_t markerText = -1;
    // The section the program reads, as file offsets.
    std::size_t sectionStart = 0;
    std::size_t sectionEnd = 0;
    bool endsAtZeroByte = false;
    LanguageCatalog catalog;  // loaded from markerText on
    std::vector<CatalogLine> lines;
    std::unordered_map<std::string, std::vector<std::size_t>> entriesByKey;  // indexes into `lines`

    // The line whose translation the program takes for `key`, or null.
    const CatalogLine* LineFor(const std::string& key) const;
    // The entries with this key, wherever they are, in file order.
    std::vector<const CatalogLine*> EntriesWithKey(const std::string& key) const;
};

// The tool's marks above an entry. A translator's comment is a line that
// starts with "#"; update, export and import keep it with its entry.
constexpr char kTranslatorComment = '#';
constexpr char kReviewMark[] = ";, fuzzy";
constexpr char kPreviousSource[] = ", the source text was: ";

// The code page a catalog is for: the one its code-page line names (`named`
// true), else the one the header of an older catalog mentions ("in code page
// N"), else 0.
unsigned HeaderCodePage(const std::string& bytes, bool& named);
// The code page the program reads from the part of `bytes` before the marker.
unsigned NamedCodePage(const std::string& bytes);

// The text as a catalog writes it: every byte that the program's unescaping
// would change, or take for a line end, as its escape.
std::string EscapeCatalogText(const std::string& text);

// The file's bytes as the program reads them. False when memory is short.
bool ParseCatalogFile(std::string bytes, CatalogFile& file);
