#include "check.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <vector>

#include "localization/message_format.h"

namespace {

constexpr int kWholeFile = 0;
// Marker starts beyond this offset are out of the search's reach.
constexpr int64_t kMarkerReach = int64_t{kCatalogMaxBlocks} * (kCatalogBlockSize - kCatalogBlockOverlap);
// A dialog scaled beyond ten times its size fits on no screen.
constexpr long kLargestPercent = 1000;
// The code page of UTF-8, where every text may hold any character.
constexpr unsigned kUtf8CodePage = 65001;
// Escapes that turn a trail byte of 0x5C into something else; "\\" keeps it.
const char kBreakingEscapes[] = "\"nrt";

class Findings {
public:
    void Add(int line, const std::string& text) { list_.push_back({line, text}); }
    void Add(const CatalogLine& line, const std::string& text) { Add(line.number, text); }
    std::vector<Finding> Sorted() {
        std::stable_sort(list_.begin(), list_.end(), [](const Finding& a, const Finding& b) {
            return (a.line == kWholeFile ? INT_MAX : a.line) < (b.line == kWholeFile ? INT_MAX : b.line);
        });
        return list_;
    }

private:
    std::vector<Finding> list_;
};

// A text on one line of output; the line separator, which a value holds
// when its closing quote is missing, shows as \f.
std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (char c : EscapeCatalogText(text)) quoted += c == '\f' ? std::string("\\f") : std::string(1, c);
    return quoted + "\"";
}

bool IsEscape(char backslash, char next) {
    char pair[] = {backslash, next, '\0'};
    return UnescapeCatalogText(pair, 2) == 1;
}

// The printf conversions of a text, in order; "%%" is none.
std::vector<std::string> Conversions(const std::string& text) {
    std::vector<std::string> conversions;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        std::size_t end = i + 1;
        if (end < text.size() && text[end] == '%') {
            i = end;
            continue;
        }
        auto skip = [&](const char* set) {
            while (end < text.size() && std::strchr(set, text[end]) && text[end] != '\0') ++end;
        };
        skip("-+ #0");
        skip("0123456789*");
        if (end < text.size() && text[end] == '.') {
            ++end;
            skip("0123456789*");
        }
        skip("hlLqjzt");
        if (end < text.size()) ++end;
        conversions.push_back(text.substr(i, end - i));
        i = end - 1;
    }
    return conversions;
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string joined;
    for (const std::string& part : parts) joined += (joined.empty() ? "" : " ") + part;
    return joined.empty() ? "none" : joined;
}

bool ReadPercent(const char*& p, long& value) {
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
    char* end = nullptr;
    value = std::strtol(p, &end, 10);
    p = end;
    return value > 0 && value <= kLargestPercent;
}

// Width and height as the program reads them, "*" between; empty means
// unscaled.
bool IsPercentPair(const std::string& value) {
    if (value.empty()) return true;
    const char* p = value.c_str();
    long width = 0;
    long height = 0;
    if (!ReadPercent(p, width)) return false;
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    if (*p++ != '*' || !ReadPercent(p, height)) return false;
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    return *p == '\0';
}

void CheckMarker(const CatalogFile& file, Findings& findings) {
    if (file.marker >= 0) return;
    if (file.markerText >= 0) {
        int line = 1;
        for (const CatalogLine& each : file.lines) {
            if (each.start <= static_cast<std::size_t>(file.markerText)) line = each.number;
        }
        findings.Add(line, file.markerText > kMarkerReach
                               ? "the program does not find this marker: it looks only at the first " +
                                     std::to_string(kMarkerReach) + " bytes"
                               : "the program does not find this marker: it does not look at the last " +
                                     std::to_string(kCatalogBlockOverlap - 1) + " bytes of the file");
        return;
    }
    for (const CatalogLine& line : file.lines) {
        std::string lower = line.text;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower.find("messages") != std::string::npos && lower.find('*') != std::string::npos) {
            findings.Add(line, std::string("not the marker: the program looks for exactly ") + kCatalogMarker);
            return;
        }
    }
    findings.Add(kWholeFile, std::string("no ") + kCatalogMarker + " marker: the program ignores the whole file");
}

std::string Translation(const KeyedText& text, const CatalogFile& file) {
    std::vector<char> out(text.capacity);
    file.catalog.TranslateKey(text.key.c_str(), text.text.c_str(), out.data(), out.size());
    return out.data();
}

void CheckValue(const KeyedText& text, const std::string& value, const CatalogLine& line, Findings& findings) {
    const std::string what = text.UseList();
    switch (text.role) {
        case EntryRole::Text:
            if (text.kind != kMessageText) return;
            if (IsSingleStringFormat(text.text.c_str()) && !IsSingleStringFormat(value.c_str())) {
                findings.Add(line, "the program refuses this translation of " + what +
                                       " and shows its own text: it must hold exactly one %s and no other %");
            } else if (Conversions(text.text) != Conversions(value)) {
                findings.Add(line, "the printf conversions of this translation (" + Joined(Conversions(value)) +
                                       ") differ from those of " + what + " (" + Joined(Conversions(text.text)) + ")");
            }
            return;
        case EntryRole::Scale:
            if (!IsPercentPair(value)) {
                findings.Add(line, "the " + text.uses[0] + " is not two percentages such as 120*110: " + Quoted(value));
            }
            return;
        case EntryRole::Direction:
            if (value != kRightToLeft && value != kDirectionQuery) {
                findings.Add(line, std::string("the reading direction is neither ") + kRightToLeft + " nor " +
                                       kDirectionQuery + ": " + Quoted(value));
            }
            return;
    }
}

// The & mnemonics of a dialog text, each as the character it underlines in
// uppercase; "&&" is a plain ampersand.
std::vector<std::string> Mnemonics(const std::string& text, const CodePage& codePage) {
    std::vector<std::string> mnemonics;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool lead = codePage.IsLeadByte(static_cast<unsigned char>(text[i]));
        if (text[i] != '&' || i + 1 == text.size()) {
            i += lead ? 1 : 0;
        } else if (text[i + 1] == '&') {
            ++i;
        } else {
            const std::size_t size = codePage.IsLeadByte(static_cast<unsigned char>(text[i + 1])) ? 2 : 1;
            std::string character = text.substr(i + 1, size);
            for (char& c : character) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            mnemonics.push_back(character);
            i += size;
        }
    }
    return mnemonics;
}

bool IsControlText(const KeyedText& text) {
    return text.role == EntryRole::Text && text.kind == kDialogText &&
           std::any_of(text.uses.begin(), text.uses.end(),
                       [](const std::string& use) {
                           return use.find(" control ") != std::string::npos || use.find(" static ") != std::string::npos;
                       });
}

// What translators get wrong that the program takes as it is.
void CheckTranslatorMistakes(const KeyedText& text, const std::string& value, const CatalogLine& line,
                             const CodePage& codePage, Findings& findings) {
    if (line.needsReview) {
        findings.Add(line, "needs review: its source text changed" +
                               (line.previous.empty() ? std::string() : ", it was \"" + line.previous + "\""));
    }
    if (text.role != EntryRole::Text) return;
    static const struct {
        char byte;
        const char* escape;
        const char* name;
    } kControls[] = {{'\n', "\\n", "line feed"}, {'\r', "\\r", "carriage return"}, {'\t', "\\t", "tab"}};
    for (const auto& control : kControls) {
        if (value.find(control.byte) != std::string::npos && text.text.find(control.byte) == std::string::npos) {
            findings.Add(line, std::string("the escape ") + control.escape + " makes a " + control.name +
                                   ", which the source text has not: a backslash is written \\\\");
        }
    }
    if (!IsControlText(text)) return;
    const std::size_t source = Mnemonics(text.text, codePage).size();
    const std::size_t translated = Mnemonics(value, codePage).size();
    if (source > 0 && translated == 0) {
        findings.Add(line, "the & mnemonic of " + text.UseList() + " is lost: its key no longer works");
    } else if (translated > std::max<std::size_t>(source, 1)) {
        findings.Add(line, std::to_string(translated) + " & mnemonics where " + text.UseList() + " takes one");
    }
}

// Two controls of one dialog underlined with the same key: the key reaches
// only the first. The program's own duplicates are left to its makers.
void CheckDuplicateMnemonics(const ModuleTexts& texts, const CatalogFile& file, const CodePage& codePage,
                             Findings& findings) {
    struct Owner {
        const KeyedText* text;
        bool translated;
    };
    std::map<std::pair<std::string, std::string>, Owner> owners;  // (dialog, character)
    for (const KeyedText& text : texts.texts) {
        const CatalogLine* line = file.LineFor(text.key);
        if (!IsControlText(text) || !line) continue;
        const std::string value = Translation(text, file);
        const std::vector<std::string> mnemonics = Mnemonics(value, codePage);
        if (mnemonics.empty()) continue;
        const Owner owner{&text, value != text.text};
        const auto known = owners.emplace(std::make_pair(text.context, mnemonics[0]), owner);
        if (!known.second && (owner.translated || known.first->second.translated)) {
            findings.Add(*line, "the mnemonic &" + mnemonics[0] + " of " + text.UseList() + " is also that of " +
                                    known.first->second.text->UseList());
        }
    }
}

bool EndsWith(const std::string& text, const std::string& end) {
    return !end.empty() && text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// "..." or the ellipsis character, which the code page may lack.
bool HasEllipsis(const std::string& text, const CodePage& codePage) {
    const std::string character = codePage.FromUtf16(u"\u2026", 4);
    return EndsWith(text, "...") || (character != "?" && EndsWith(text, character));
}

// Each character's share of a text's width, in average characters: a
// double-byte character is about twice as wide; "&" marks the next one.
int WidthInCharacters(const std::string& text, const CodePage& codePage) {
    int width = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] != '&') continue;
        if (codePage.IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
            ++i;
            width += 2;
        } else {
            width += 1;
        }
    }
    return width;
}

// A dialog unit is a quarter of the dialog font's average character width;
// the box of a check box or the frame of a button takes about two more.
constexpr int kDialogUnitsPerCharacter = 4;
constexpr int kControlMargin = 8;

int EstimatedWidth(const std::string& text, const CodePage& codePage) {
    return WidthInCharacters(text, codePage) * kDialogUnitsPerCharacter + kControlMargin;
}

// What a reader would take for a slip: an ellipsis (a dialog follows) lost
// or added, blanks at either end or doubled, a word twice, and a text wider
// than its one-line control, estimated from the control's width in dialog
// units and the dialog's scale.
void CheckWording(const KeyedText& text, const std::string& value, const CatalogLine& line, const CatalogFile& file,
                  const CodePage& codePage, Findings& findings) {
    const bool sourceEllipsis = EndsWith(Utf16ToUtf8(text.source), "...") || EndsWith(Utf16ToUtf8(text.source), "\u2026");
    if (sourceEllipsis != HasEllipsis(value, codePage)) {
        findings.Add(line, sourceEllipsis ? "the source text ends in ... (more follows), this translation does not"
                                          : "this translation ends in ..., the source text does not");
    }
    const std::string& source = text.text;
    if (!value.empty() && value.front() == ' ' && (source.empty() || source.front() != ' ')) {
        findings.Add(line, "a blank at the start, which the source text has not");
    }
    if (!value.empty() && value.back() == ' ' && (source.empty() || source.back() != ' ')) {
        findings.Add(line, "a blank at the end, which the source text has not");
    }
    if (value.find("  ") != std::string::npos && source.find("  ") == std::string::npos) {
        findings.Add(line, "two blanks in a row, which the source text has not");
    }
    std::string previous;
    std::istringstream words(value);
    for (std::string word; words >> word; previous = word) {
        const bool letters = std::any_of(word.begin(), word.end(), [](char c) { return std::isalpha(static_cast<unsigned char>(c)); });
        if (letters && word.size() == previous.size() &&
            std::equal(word.begin(), word.end(), previous.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
            })) {
            findings.Add(line, "the word \"" + word + "\" twice in a row");
            break;
        }
    }
    if (text.width <= 0) return;
    int widthPercent = 100;
    int heightPercent = 100;
    file.catalog.GetDialogScale(text.context.c_str(), widthPercent, heightPercent);
    const long room = static_cast<long>(text.width) * widthPercent / 100;
    const int needed = EstimatedWidth(value, codePage);
    if (needed > room && needed > EstimatedWidth(source, codePage)) {
        findings.Add(line, "about " + std::to_string(needed) + " dialog units wide, wider than the " +
                               std::to_string(room) + " of " + text.uses.front() +
                               ": shorten it or widen the dialog with its size entry");
    }
}

// The entry the program takes for one text, and every other entry with its key.
void CheckText(const KeyedText& text, const CatalogFile& file, const CodePage& codePage, Findings& findings) {
    const std::string what = text.UseList();
    const CatalogLine* used = file.LineFor(text.key);
    if (!used) {
        if (text.role == EntryRole::Text) findings.Add(kWholeFile, "no entry for " + what + " " + Quoted(text.text));
        return;
    }
    const std::string value = Translation(text, file);
    if (!used->IsEntry()) {
        findings.Add(*used, "not an entry (the key is not followed by =\"), yet the program takes it for " + what +
                                " and shows " + Quoted(value));
    } else if (!used->IsClosed()) {
        findings.Add(*used, "no closing quote: the program shows " + Quoted(value) + " for " + what);
    } else if (value != used->Value()) {
        findings.Add(*used, "the program shows only the first " + std::to_string(value.size()) +
                                " bytes of this translation of " + what);
    }
    for (const CatalogLine* entry : file.EntriesWithKey(text.key)) {
        if (entry != used && (entry->place == LinePlace::Section || entry->place == LinePlace::Cut)) {
            findings.Add(*entry, "ignored: the program takes line " + std::to_string(used->number) + " for " + what);
        }
    }
    CheckValue(text, value, *used, findings);
    if (used->IsEntry()) CheckTranslatorMistakes(text, value, *used, codePage, findings);
    if (used->IsEntry() && text.role == EntryRole::Text && value != text.text) {
        CheckWording(text, value, *used, file, codePage, findings);
    }
}

// Whether `text` is UTF-8 with at least one character beyond ASCII: text in
// another code page hardly ever is, a catalog saved as UTF-8 always.
bool LooksLikeUtf8(const std::string& text) {
    bool beyondAscii = false;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const std::size_t size = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                                 : lead >= 0xF0 && lead < 0xF5                  ? 4
                                                                                : 0;
        if (size == 0 || i + size > text.size()) return false;
        for (std::size_t k = 1; k < size; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        beyondAscii |= size > 1;
        i += size;
    }
    return beyondAscii;
}

// Bytes that are no text of the code page, or a translation in UTF-8: the
// program shows either as stray glyphs.
void CheckEncoding(const KeyedText* text, const CatalogFile& file, const CatalogLine& line, const CodePage& codePage,
                   Findings& findings) {
    std::string utf8;
    std::size_t badAt = 0;
    const std::string inCodePage = " in code page " + std::to_string(codePage.Number());
    if (!codePage.ToUtf8(file.bytes.substr(line.start, line.end - line.start), utf8, badAt)) {
        char byte[8];
        std::snprintf(byte, sizeof(byte), "0x%02X", static_cast<unsigned char>(file.bytes[line.start + badAt]));
        findings.Add(line, std::string("the byte ") + byte + " at column " + std::to_string(badAt) + " is no text" +
                               inCodePage + ": save the catalog in that code page");
    } else if (codePage.Number() != kUtf8CodePage && (!text || line.Value() != text->text) &&
               LooksLikeUtf8(line.Value())) {
        findings.Add(line, "this translation is written in UTF-8: save the catalog" + inCodePage);
    }
}

// A trail byte 0x5C that forms an escape with the next byte breaks its
// character, since the program unescapes byte by byte.
void CheckTrailBackslashes(const CatalogFile& file, const CatalogLine& line, const CodePage& codePage,
                           Findings& findings) {
    const std::string& bytes = file.bytes;
    const std::size_t end = std::min(line.end, file.sectionEnd);
    bool trail = false;
    for (std::size_t i = std::max(line.start, file.sectionStart); i < end; ++i) {
        const bool escape = bytes[i] == '\\' && i + 1 < end && IsEscape(bytes[i], bytes[i + 1]);
        if (trail && escape && std::strchr(kBreakingEscapes, bytes[i + 1])) {
            findings.Add(line, "the double-byte character at column " + std::to_string(i - line.start) +
                                   " ends in a backslash, which the program reads as the escape " +
                                   bytes.substr(i, 2) + ": write that byte as \\\\");
        }
        trail = !trail && !escape && codePage.IsLeadByte(static_cast<unsigned char>(bytes[i]));
        if (escape) ++i;
    }
}

void CheckLines(const ModuleTexts& texts, const CatalogFile& file, const CodePage& codePage, Findings& findings) {
    const CatalogLine* firstBeyond = nullptr;
    int beyond = 0;
    for (const CatalogLine& line : file.lines) {
        const bool entry = line.IsEntry() || line.HasUppercaseKey();
        if (line.place == LinePlace::BeforeMarker) {
            if (entry) findings.Add(line, "before the marker: the program ignores this entry");
            continue;
        }
        if (line.place == LinePlace::Beyond) {
            if (entry && !firstBeyond) firstBeyond = &line;
            beyond += entry ? 1 : 0;
            continue;
        }
        CheckTrailBackslashes(file, line, codePage, findings);
        if (line.IsEntry()) CheckEncoding(texts.Find(line.Key()), file, line, codePage, findings);
        if (line.place == LinePlace::Cut && entry) {
            findings.Add(line, "the part of the file the program reads ends inside this entry");
        }
        if (line.HasUppercaseKey()) {
            findings.Add(line, "a key with uppercase letters never matches: write it in lowercase");
        } else if (line.IsEntry() && !texts.Find(line.Key())) {
            findings.Add(line, "stale or mistyped key " + line.Key() + ": no text of the module has it");
        }
    }
    if (firstBeyond) {
        int last = 0;
        for (const CatalogLine& line : file.lines) {
            if (line.start <= file.sectionEnd) last = line.number;
        }
        const std::string where = file.endsAtZeroByte ? "at a zero byte"
                                                      : std::to_string(kCatalogSectionSize) + " bytes after the marker";
        findings.Add(*firstBeyond, "this entry and " + std::to_string(beyond - 1) +
                                       " more lie beyond the part of the file the program reads: it stops " + where +
                                       ", on line " + std::to_string(last));
    }
}

}  // namespace

// A catalog without a code-page line works only where the system's code page
// reads the program's texts as the catalog's code page does.
void CheckCodePageLine(const CatalogFile& file, const CodePage& codePage, Findings& findings) {
    if (file.namedCodePage || codePage.Number() == kLegacyKeysCodePage) return;
    findings.Add(kWholeFile, std::string("no ") + kCatalogCodePageLine + " line: the program keys this catalog as one of code page " +
                                 std::to_string(kLegacyKeysCodePage) + ", so texts share keys; update re-keys it");
}

std::vector<Finding> CheckCatalog(const ModuleTexts& texts, const CatalogFile& file, const CodePage& codePage) {
    Findings findings;
    CheckMarker(file, findings);
    CheckCodePageLine(file, codePage, findings);
    if (file.markerText < 0) return findings.Sorted();
    for (const KeyedText& text : texts.texts) CheckText(text, file, codePage, findings);
    CheckDuplicateMnemonics(texts, file, codePage, findings);
    CheckLines(texts, file, codePage, findings);
    return findings.Sorted();
}

TranslationCounts CountTranslations(const ModuleTexts& texts, const CatalogFile& file) {
    TranslationCounts counts;
    for (const KeyedText& text : texts.texts) {
        if (text.role != EntryRole::Text) continue;
        const CatalogLine* line = file.LineFor(text.key);
        if (line && line->IsEntry() && line->needsReview) {
            ++counts.needReview;
        } else if (!line || !line->IsEntry() || text.IsUntranslated(Translation(text, file))) {
            ++counts.untranslated;
            counts.untranslatedTexts.push_back({line ? line->number : kWholeFile,
                                                "untranslated: " + text.UseList() + " " + Quoted(text.text)});
        } else {
            ++counts.translated;
        }
    }
    return counts;
}
