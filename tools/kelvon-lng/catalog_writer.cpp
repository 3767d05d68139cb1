#include "catalog_writer.h"

#include <algorithm>
#include <map>
#include <set>

#include "localization/message_format.h"

namespace {

const char kLineEnd[] = "\r\n";

// Escaped, so that no name or text can end the comment's line.
std::string Comment(const KeyedText& text, bool rightToLeft) {
    std::string comment = text.UseList();
    switch (text.role) {
        case EntryRole::Text:
            if (text.kind == kMessageText && IsSingleStringFormat(text.text.c_str())) {
                comment += " (keep its one %s and add no other %)";
            }
            return "; " + EscapeCatalogText(comment) + ": " + text.shown;
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

EntryText KeptEntry(const CatalogFile& old, const CatalogLine& line) {
    return {old.bytes.substr(line.start + kCatalogKeySize, line.end - line.start - kCatalogKeySize), line.comments,
            line.needsReview, line.previous};
}

// The stale entries of `old` by the uses their comments name: where a text
// whose key changed finds its old translation.
std::map<std::string, std::vector<const CatalogLine*>> StaleByUse(const ModuleTexts& texts, const CatalogFile& old) {
    std::map<std::string, std::vector<const CatalogLine*>> byUse;
    for (const CatalogLine& line : old.lines) {
        if (line.place == LinePlace::BeforeMarker || !line.IsEntry() || texts.Find(line.Key())) continue;
        for (const std::string& use : line.uses) byUse[use].push_back(&line);
    }
    return byUse;
}

// The keys of an old catalog without a code-page line, by use, and how many
// of today's texts each served.
struct LegacyUses {
    std::map<std::string, std::string> keys;
    std::map<std::string, int> texts;
};

LegacyUses LegacyKeysByUse(const ModuleTexts& texts, const ModuleTexts& legacy) {
    LegacyUses uses;
    for (const KeyedText& text : legacy.texts) {
        for (const std::string& use : text.uses) uses.keys[use] = text.key;
    }
    for (const KeyedText& text : texts.texts) {
        const auto found = uses.keys.find(text.uses.front());
        if (found != uses.keys.end()) ++uses.texts[found->second];
    }
    return uses;
}

// The key `text` has in the old catalog: its own, unless that is re-keyed.
const std::string& LegacyKey(const KeyedText& text, const LegacyUses& uses) {
    const auto found = uses.keys.find(text.uses.front());
    return found == uses.keys.end() ? text.key : found->second;
}

}  // namespace

std::string CatalogHeader(const std::string& modules, unsigned codePage) {
    return kCatalogCodePageLine + std::to_string(codePage) + kLineEnd + "; uninstall.lng: the texts of " + modules + ", in code page " + std::to_string(codePage) +
           ", with their translations.\r\n"
           "; The line above names the code page of the translations: keep it as it is.\r\n"
           "; Written by kelvon-lng. An entry is key=\"translation\": change only the text between the quotes.\r\n"
           "; Escapes: \\\" quote, \\\\ backslash, \\n line feed, \\r carriage return, \\t tab.\r\n"
           "; Your own notes: lines that start with #, above the entry they belong to.\r\n"
           "; \";, fuzzy\" above an entry: its source text changed; check the translation, then delete that line.\r\n"
           "; The program reads at most " + std::to_string(kCatalogSectionSize) + " bytes from the marker line on.\r\n";
}

void WriteCatalog(const ModuleTexts& texts, const std::string& header,
                  const std::function<const EntryText*(const KeyedText&)>& find, std::ostream& out) {
    out << header << kCatalogMarker << kLineEnd;
    for (const KeyedText& text : texts.texts) {
        out << kLineEnd;
        const EntryText* entry = find(text);
        if (entry) {
            for (const std::string& comment : entry->comments) out << comment << kLineEnd;
        }
        out << Comment(text, texts.rightToLeft) << kLineEnd;
        if (entry && entry->needsReview) {
            out << kReviewMark << (entry->previous.empty() ? "" : kPreviousSource + entry->previous) << kLineEnd;
        }
        out << text.key
            << (entry ? entry->tail : "=\"" + EscapeCatalogText(text.templateValue) + "\"") << kLineEnd;
    }
}

void WriteTemplate(const ModuleTexts& texts, const std::string& modules, unsigned codePage, std::ostream& out) {
    WriteCatalog(texts, CatalogHeader(modules, codePage), [](const KeyedText&) { return nullptr; }, out);
}

void WriteUpdate(const ModuleTexts& texts, const std::string& modules, unsigned codePage, const CatalogFile& old,
                 const ModuleTexts* legacy, std::ostream& out) {
    std::string header = old.markerText >= 0 ? old.bytes.substr(0, static_cast<std::size_t>(old.markerText))
                                             : CatalogHeader(modules, codePage);
    if (legacy && old.markerText >= 0) header = kCatalogCodePageLine + std::to_string(codePage) + kLineEnd + header;
    const LegacyUses legacyUses = legacy ? LegacyKeysByUse(texts, *legacy) : LegacyUses();
    std::map<std::string, std::vector<const CatalogLine*>> staleByUse = StaleByUse(texts, old);
    std::set<const CatalogLine*> keptLines;
    EntryText entry;
    auto find = [&](const KeyedText& text) -> const EntryText* {
        // The entry the program uses, else the first one anywhere in the file.
        const CatalogLine* line = old.LineFor(LegacyKey(text, legacyUses));
        if (!line || !line->IsEntry()) {
            std::vector<const CatalogLine*> entries = old.EntriesWithKey(text.key);
            line = entries.empty() ? nullptr : entries.front();
        }
        if (line) {
            keptLines.insert(line);
            entry = KeptEntry(old, *line);
            const auto served = legacyUses.texts.find(LegacyKey(text, legacyUses));
            if (served != legacyUses.texts.end() && served->second > 1) {
                entry.needsReview = true;
                entry.previous = line->source;
            }
            return &entry;
        }
        for (const std::string& use : text.role == EntryRole::Text ? text.uses : std::vector<std::string>()) {
            for (const CatalogLine* stale : staleByUse[use]) {
                if (!keptLines.insert(stale).second) continue;
                entry = KeptEntry(old, *stale);
                entry.needsReview = true;
                if (!stale->needsReview || entry.previous.empty()) entry.previous = stale->source;
                return &entry;
            }
        }
        return nullptr;
    };
    WriteCatalog(texts, header, find, out);
    bool first = true;
    for (const CatalogLine& line : old.lines) {
        if (!(line.IsEntry() || line.HasUppercaseKey()) || keptLines.count(&line)) continue;
        if (first) out << kLineEnd << "; Entries of the old catalog that no text uses:" << kLineEnd;
        first = false;
        out << "; line " << line.number << ": " << old.bytes.substr(line.start, line.end - line.start) << kLineEnd;
    }
}
