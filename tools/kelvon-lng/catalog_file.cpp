#include "catalog_file.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace {

constexpr std::size_t kValueStart = kCatalogKeySize + 2;

bool IsLowerHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

bool IsUpperHexDigit(char c) {
    return c >= 'A' && c <= 'F';
}

bool HasEntryShape(const std::string& text, bool allowUppercase) {
    if (text.size() < kValueStart || text[kCatalogKeySize] != '=' || text[kCatalogKeySize + 1] != '"') return false;
    return std::all_of(text.begin(), text.begin() + kCatalogKeySize, [allowUppercase](char c) {
        return IsLowerHexDigit(c) || (allowUppercase && IsUpperHexDigit(c));
    });
}

// The bytes as the program's unescaping leaves them.
std::string Unescape(const std::string& bytes, std::size_t start, std::size_t end) {
    std::string text = bytes.substr(start, end - start);
    text.push_back('\0');
    text.resize(static_cast<std::size_t>(UnescapeCatalogText(&text[0], static_cast<int>(end - start))));
    return text;
}

void SplitLines(CatalogFile& file) {
    const std::string& bytes = file.bytes;
    const bool hasSection = file.markerText >= 0;
    int32_t textOffset = 0;
    std::size_t start = 0;
    for (int number = 1;; ++number) {
        std::size_t end = start;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
        std::size_t next = end;
        if (next < bytes.size()) next += bytes.compare(next, 2, "\r\n") == 0 ? 2 : 1;
        CatalogLine line;
        line.number = number;
        line.start = start;
        line.end = end;
        const std::size_t read = std::max(start, file.sectionStart);
        if (!hasSection || end <= file.sectionStart) {
            line.text = Unescape(bytes, start, end);
        } else if (read >= file.sectionEnd) {
            line.place = LinePlace::Beyond;
            line.text = Unescape(bytes, start, end);
        } else {
            // Every raw line end is one separator byte in the program's text.
            line.place = end > file.sectionEnd ? LinePlace::Cut : LinePlace::Section;
            line.text = Unescape(bytes, read, std::min(end, file.sectionEnd));
            line.textOffset = textOffset;
            textOffset += static_cast<int32_t>(line.text.size());
            if (end < file.sectionEnd) textOffset += static_cast<int32_t>(std::min(next, file.sectionEnd) - end);
        }
        file.lines.push_back(std::move(line));
        if (end == bytes.size()) break;
        start = next;
    }
}

bool StartsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

// The tool's comment: "; " + uses (a note in parentheses) + ": " + text.
void ReadUseComment(const std::string& comment, CatalogLine& entry) {
    std::size_t colon = comment.find(": ");
    std::string uses = comment.substr(2, std::min(comment.find(" ("), colon) - 2);
    entry.source = colon == std::string::npos ? std::string() : comment.substr(colon + 2);
    entry.uses.clear();
    for (std::size_t start = 0; start <= uses.size();) {
        std::size_t comma = std::min(uses.find(", ", start), uses.size());
        entry.uses.push_back(uses.substr(start, comma - start));
        start = comma + 2;
    }
}

// Gives each entry what the lines since the previous entry say about it.
void ReadNotes(CatalogFile& file) {
    CatalogLine notes;
    for (CatalogLine& line : file.lines) {
        const std::string raw = file.bytes.substr(line.start, line.end - line.start);
        if (line.place == LinePlace::BeforeMarker) {
            if (line.IsEntry()) file.entriesByKey[line.Key()].push_back(static_cast<std::size_t>(&line - file.lines.data()));
            continue;
        }
        if (line.IsEntry()) {
            line.comments = std::move(notes.comments);
            line.uses = std::move(notes.uses);
            line.source = std::move(notes.source);
            line.needsReview = notes.needsReview;
            line.previous = std::move(notes.previous);
            notes = CatalogLine();
            file.entriesByKey[line.Key()].push_back(static_cast<std::size_t>(&line - file.lines.data()));
        } else if (!raw.empty() && raw[0] == kTranslatorComment) {
            notes.comments.push_back(raw);
        } else if (StartsWith(raw, kReviewMark)) {
            notes.needsReview = true;
            std::size_t previous = raw.find(kPreviousSource);
            if (previous != std::string::npos) notes.previous = raw.substr(previous + std::strlen(kPreviousSource));
        } else if (StartsWith(raw, "; ")) {
            ReadUseComment(raw, notes);
        }
    }
}

}  // namespace

unsigned NamedCodePage(const std::string& bytes) {
    const std::size_t marker = bytes.find(kCatalogMarker, 0, kCatalogMarkerCompared);
    return ReadCatalogCodePage(bytes.data(), std::min<std::size_t>({marker, bytes.size(), kCatalogHeadSize}));
}

unsigned HeaderCodePage(const std::string& bytes, bool& named) {
    static const char kMentioned[] = "in code page ";
    const unsigned number = NamedCodePage(bytes);
    named = number != 0;
    if (named) return number;
    const std::size_t marker = bytes.find(kCatalogMarker, 0, kCatalogMarkerCompared);
    const std::size_t mentioned = bytes.find(kMentioned);
    if (mentioned == std::string::npos || mentioned > marker) return 0;
    return static_cast<unsigned>(std::strtoul(bytes.c_str() + mentioned + std::strlen(kMentioned), nullptr, 10));
}

bool CatalogLine::IsEntry() const {
    return HasEntryShape(text, false);
}

bool CatalogLine::HasUppercaseKey() const {
    return HasEntryShape(text, true) && !IsEntry();
}

std::string CatalogLine::Value() const {
    return IsClosed() ? text.substr(kValueStart, text.rfind('"') - kValueStart) : text.substr(kValueStart);
}

bool CatalogLine::IsClosed() const {
    std::size_t quote = text.rfind('"');
    return quote != std::string::npos && quote >= kValueStart;
}

const CatalogLine* CatalogFile::LineFor(const std::string& key) const {
    if (!catalog.IsLoaded()) return nullptr;
    const char* place = catalog.FindSorted(key.c_str());
    if (!place) place = catalog.FindLinear(key.c_str());
    if (!place) return nullptr;
    // Lines of the section stand in the program's text in file order.
    const int64_t offset = place - catalog.text;
    auto after = std::upper_bound(lines.begin(), lines.end(), offset, [](int64_t at, const CatalogLine& line) {
        return line.place != LinePlace::BeforeMarker && (line.textOffset < 0 || at < line.textOffset);
    });
    return after == lines.begin() || std::prev(after)->textOffset < 0 ? nullptr : &*std::prev(after);
}

std::vector<const CatalogLine*> CatalogFile::EntriesWithKey(const std::string& key) const {
    std::vector<const CatalogLine*> entries;
    const auto found = entriesByKey.find(key);
    if (found != entriesByKey.end()) {
        for (std::size_t line : found->second) entries.push_back(&lines[line]);
    }
    return entries;
}

std::string EscapeCatalogText(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '\\': escaped += "\\\\"; break;
            case '"': escaped += "\\\""; break;
            case '\n': escaped += "\\n"; break;
            case '\r': escaped += "\\r"; break;
            case '\t': escaped += "\\t"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

bool ParseCatalogFile(std::string bytes, CatalogFile& file) {
    file.bytes = std::move(bytes);
    const std::string& all = file.bytes;
    file.namedCodePage = NamedCodePage(all);
    file.marker = ScanForCatalogMarker([&all](int64_t position, unsigned char* block, int size) {
        std::size_t count = position < static_cast<int64_t>(all.size())
                                ? std::min<std::size_t>(static_cast<std::size_t>(size), all.size() - position)
                                : 0;
        std::memcpy(block, all.data() + position, count);
        return static_cast<int>(count);
    });
    // The search reads the file from its start, so a marker it finds is the first.
    std::size_t found = all.find(kCatalogMarker, 0, kCatalogMarkerCompared);
    file.markerText = found == std::string::npos ? -1 : static_cast<int64_t>(found);
    if (found == std::string::npos) {
        file.sectionStart = file.sectionEnd = all.size();
    } else {
        file.sectionStart = found;
        file.sectionEnd = found + std::min<std::size_t>(all.size() - found, kCatalogSectionSize);
        std::size_t zero = all.find('\0', found);
        file.endsAtZeroByte = zero < file.sectionEnd;
        if (file.endsAtZeroByte) file.sectionEnd = zero;
        if (!file.catalog.LoadSection(all.data() + found, all.size() - found)) return false;
        file.catalog.codePage = file.namedCodePage ? file.namedCodePage : kLegacyKeysCodePage;
    }
    SplitLines(file);
    ReadNotes(file);
    return true;
}
