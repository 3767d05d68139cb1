#include "catalog_writer.h"

#include <set>

#include "localization/message_format.h"

namespace {

const char kLineEnd[] = "\r\n";

std::string Header(const std::string& modules, unsigned codePage) {
    return "; uninstall.lng: the texts of " + modules + ", in code page " + std::to_string(codePage) +
           ", with their translations.\r\n"
           "; Written by kelvon-lng. An entry is key=\"translation\": change only the text between the quotes.\r\n"
           "; Escapes: \\\" quote, \\\\ backslash, \\n line feed, \\r carriage return, \\t tab.\r\n"
           "; The program reads at most " + std::to_string(kCatalogSectionSize) + " bytes from the marker line on.\r\n";
}

// Escaped as a whole, so that no name or text can end the comment's line.
std::string Comment(const KeyedText& text, bool rightToLeft) {
    std::string comment = text.UseList();
    switch (text.role) {
        case EntryRole::Text:
            if (text.kind == kMessageText && IsSingleStringFormat(text.text.c_str())) {
                comment += " (keep its one %s and add no other %)";
            }
            comment += ": " + text.text;
            break;
        case EntryRole::Scale:
            comment += ": width*height in percent";
            break;
        case EntryRole::Direction:
            comment += rightToLeft ? ": right to left whatever this says, for the dialogs' module holds the RTL dialog"
                                   : ": RTL for right to left, LTR for left to right";
            break;
    }
    return "; " + EscapeCatalogText(comment);
}

// Writes the marker and the entries; `kept` gives the line of `old` to keep
// for a key, or null for the template's entry.
template <typename Kept>
void WriteEntries(const ModuleTexts& texts, const std::string& oldBytes, Kept kept, std::ostream& out) {
    out << kCatalogMarker << kLineEnd;
    for (const KeyedText& text : texts.texts) {
        out << kLineEnd << Comment(text, texts.rightToLeft) << kLineEnd;
        if (const CatalogLine* line = kept(text.key)) {
            out << oldBytes.substr(line->start, line->end - line->start) << kLineEnd;
        } else {
            out << text.key << "=\"" << EscapeCatalogText(text.templateValue) << "\"" << kLineEnd;
        }
    }
}

}  // namespace

void WriteTemplate(const ModuleTexts& texts, const std::string& modules, unsigned codePage, std::ostream& out) {
    out << Header(modules, codePage);
    WriteEntries(texts, std::string(), [](const std::string&) { return nullptr; }, out);
}

void WriteUpdate(const ModuleTexts& texts, const std::string& modules, unsigned codePage, const CatalogFile& old,
                 std::ostream& out) {
    if (old.markerText >= 0) {
        out << old.bytes.substr(0, static_cast<std::size_t>(old.markerText));
    } else {
        out << Header(modules, codePage);
    }
    // The entry the program uses, else the first one anywhere in the file.
    std::set<const CatalogLine*> keptLines;
    auto kept = [&old, &keptLines](const std::string& key) -> const CatalogLine* {
        const CatalogLine* line = old.LineFor(key);
        if (!line || !line->IsEntry()) {
            std::vector<const CatalogLine*> entries = old.EntriesWithKey(key);
            line = entries.empty() ? nullptr : entries.front();
        }
        if (line) keptLines.insert(line);
        return line;
    };
    WriteEntries(texts, old.bytes, kept, out);
    bool first = true;
    for (const CatalogLine& line : old.lines) {
        if (!(line.IsEntry() || line.HasUppercaseKey()) || keptLines.count(&line)) continue;
        if (first) out << kLineEnd << "; Entries of the old catalog that no text uses:" << kLineEnd;
        first = false;
        out << "; line " << line.number << ": " << old.bytes.substr(line.start, line.end - line.start) << kLineEnd;
    }
}
