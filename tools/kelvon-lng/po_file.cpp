#include "po_file.h"

#include <gettext-po.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <unordered_map>
#include <vector>

#include "catalog_writer.h"
#include "commands.h"
#include "localization/catalog.h"
#include "localization/message_format.h"

namespace {

const char kCodePageField[] = "X-Code-Page";
const char kCharsetUtf8[] = "charset=UTF-8";
// No message has plural forms; this form suits every language.
const char kPluralForms[] = "nplurals=1; plural=0;";

// The library reports through callbacks without a context: the problems of
// the one call at a time go here.
std::vector<std::string>* problems = nullptr;

void Problem(int severity, po_message_t, const char* file, std::size_t line, std::size_t, int, const char* text) {
    std::string where = file ? std::string(file) + (line != static_cast<std::size_t>(-1) ? ":" + std::to_string(line) : "")
                             : std::string("PO");
    if (problems && severity != PO_SEVERITY_WARNING) problems->push_back(where + ": " + text);
    // The library must not go on after a fatal error.
    if (severity == PO_SEVERITY_FATAL_ERROR) {
        std::fprintf(stderr, "kelvon-lng: %s: %s\n", where.c_str(), text);
        std::exit(kExitUnreadable);
    }
}

void Problem2(int severity, po_message_t message, const char* file, std::size_t line, std::size_t column, int multiline,
              const char* text, po_message_t, const char*, std::size_t, std::size_t, int, const char*) {
    Problem(severity, message, file, line, column, multiline, text);
}

const po_xerror_handler kHandler = {Problem, Problem2};

struct PoFileFree {
    void operator()(po_file* file) const { po_file_free(file); }
};
using PoFile = std::unique_ptr<po_file, PoFileFree>;

std::string Unescaped(const std::string& escaped) {
    std::string text = escaped + '\0';
    text.resize(static_cast<std::size_t>(UnescapeCatalogText(&text[0], static_cast<int>(escaped.size()))));
    return text;
}

// Bytes that a catalog cannot hold as they are: a zero byte ends the
// catalog for the program, a form feed ends its line (escapes are only for
// line feed, carriage return and tab). A comment goes on lines of its own,
// where a carriage return would end one too.
bool BreaksCatalog(const std::string& text, bool comment) {
    return std::any_of(text.begin(), text.end(), [comment](char c) {
        if (c == '\t' || c == '\n') return false;
        if (c == '\r') return comment;
        return static_cast<unsigned char>(c) < 0x20;
    });
}

// What a PO message stands for, in UTF-8: the source text as the resources
// hold it; a size or the direction has none.
std::string Msgid(const KeyedText& text) {
    return text.role == EntryRole::Text ? Utf16ToUtf8(text.source) : text.templateValue;
}

// The "#." notes: what a translator cannot see in the text itself.
std::string Notes(const KeyedText& text, bool rightToLeft) {
    std::string notes;
    for (const std::string& note : text.notes) notes += note + "\n";
    switch (text.role) {
        case EntryRole::Text:
            if (text.kind == kMessageText && IsSingleStringFormat(text.text.c_str())) {
                notes += "keep its one %s and add no other %\n";
            }
            break;
        case EntryRole::Scale:
            notes += "the dialog's width*height in percent, such as 120*110 to give longer texts room\n";
            break;
        case EntryRole::Direction:
            notes += rightToLeft ? "right to left whatever this says: the dialogs' module holds the RTL dialog\n"
                                 : "RTL for right to left, LTR for left to right\n";
            break;
    }
    return notes;
}

// "#: Uninstall.exe/STRINGTABLE:5107", "#: Uninstall.exe/SETUPDLG:5101".
void AddReferences(po_message_t message, const KeyedText& text, const PoModules& modules) {
    for (const std::string& use : text.uses) {
        const std::size_t space = use.find(' ');
        const std::string what = use.substr(space + 1, use.find(' ', space + 1) - space - 1);
        const std::size_t number = what == "control" || use.compare(0, space, "message") == 0
                                       ? std::strtoul(use.c_str() + use.rfind(' ') + 1, nullptr, 10)
                                       : static_cast<std::size_t>(-1);
        if (use.compare(0, space, "message") == 0) {
            po_message_add_filepos(message, (modules.program + "/STRINGTABLE").c_str(), number);
        } else if (text.role != EntryRole::Direction) {
            po_message_add_filepos(message, (modules.dialogs + "/" + use.substr(0, space)).c_str(), number);
        }
    }
}

std::string PoHeader(const std::string& language, unsigned codePage) {
    char date[32];
    const std::time_t now = std::time(nullptr);
    std::strftime(date, sizeof(date), "%Y-%m-%d %H:%M+0000", std::gmtime(&now));
    return "Project-Id-Version: Kelvon Uninstall\nReport-Msgid-Bugs-To: \nPO-Revision-Date: " + std::string(date) +
           "\nLast-Translator: \nLanguage-Team: \nLanguage: " + language +
           "\nMIME-Version: 1.0\nContent-Type: text/plain; " + kCharsetUtf8 +
           "\nContent-Transfer-Encoding: 8bit\nPlural-Forms: " + kPluralForms + "\n" + kCodePageField + ": " +
           std::to_string(codePage) + "\n";
}

bool IsUntranslated(const KeyedText& text, const std::string& value) {
    return text.role == EntryRole::Text ? text.IsUntranslated(value) : value == text.templateValue;
}

// The translator's "#" lines as PO comments: one line each, without the "#"
// and the space after it.
std::string PoComments(const std::vector<std::string>& lines) {
    std::string comments;
    for (const std::string& line : lines) {
        comments += line.substr(line.compare(0, 2, "# ") == 0 ? 2 : 1) + "\n";
    }
    return comments;
}

std::vector<std::string> CatalogComments(const std::string& comments) {
    std::vector<std::string> lines;
    std::istringstream stream(comments);
    for (std::string line; std::getline(stream, line);) lines.push_back(line.empty() ? "#" : "# " + line);
    return lines;
}

class Converter {
public:
    Converter(const CodePage& codePage, std::ostream& err) : codePage_(codePage), err_(err) {}
    bool ok = true;

    std::string ToUtf8(const std::string& text, const std::string& where) {
        std::string utf8;
        std::size_t badAt = 0;
        if (!codePage_.ToUtf8(text, utf8, badAt)) Refuse(where, text, badAt, "is no text in");
        return utf8;
    }
    // A text as a catalog's comment shows it (CodePage::Shown): escaped bytes
    // of the code page, and \uXXXX for each unit the code page lacks.
    std::string ShownToUtf8(const std::string& shown, const std::string& where) {
        std::string utf8;
        std::string bytes;
        std::u16string units;
        auto flushBytes = [&] {
            if (!bytes.empty()) utf8 += ToUtf8(Unescaped(bytes), where);
            bytes.clear();
        };
        auto flushUnits = [&] {
            utf8 += Utf16ToUtf8(units);
            units.clear();
        };
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const std::string digits = i + 2 < shown.size() ? shown.substr(i + 2, 4) : "";
            if (shown.compare(i, 2, "\\u") == 0 && digits.size() == 4 &&
                digits.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos) {
                flushBytes();
                units += static_cast<char16_t>(std::strtoul(digits.c_str(), nullptr, 16));
                i += 5;
                continue;
            }
            flushUnits();
            bytes += shown.substr(i, shown[i] == '\\' ? 2 : 1);  // an escape stays whole
            if (shown[i] == '\\') ++i;
        }
        flushBytes();
        flushUnits();
        return utf8;
    }
    std::string FromUtf8(const std::string& utf8, const std::string& where) {
        std::string text;
        std::size_t badAt = 0;
        if (!codePage_.FromUtf8(utf8, text, badAt)) Refuse(where, utf8, badAt, "has no exact form in");
        return text;
    }

private:
    void Refuse(const std::string& where, const std::string& text, std::size_t badAt, const char* what) {
        err_ << "kelvon-lng: " << where << ": \"" << EscapeCatalogText(text) << "\" from byte " << badAt << " "
             << what << " code page " << codePage_.Number() << "\n";
        ok = false;
    }

    const CodePage& codePage_;
    std::ostream& err_;
};

}  // namespace

// The library's PO reader keeps some of the comment strings it parses past
// po_file_free; the leak checker of a sanitizer build is told they are not
// ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libgettextpo.so\n";
}

// Without a word about them on the tool's stderr.
extern "C" const char* __lsan_default_options() {
    return "print_suppressions=0";
}

bool ReadPoCodePage(const std::string& path, const PoReading& po, unsigned& codePage, std::ostream& err) {
    if (!po.error.empty()) {
        err << "kelvon-lng: " << path << ":" << po.errorLine << ": " << po.error << "\n";
        return false;
    }
    const PoMessage* header = nullptr;
    for (const PoMessage& message : po.messages) {
        if (!message.hasContext && message.id.empty()) header = &message;
    }
    const int line = header ? header->line : 1;
    const std::string contentType = header ? PoHeaderField(header->str, "Content-Type") : "";
    std::string lower = contentType;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower.find("charset=utf-8") == std::string::npos) {
        err << "kelvon-lng: " << path << ":" << line << ": the PO file is not in UTF-8 (its header's Content-Type)\n";
        return false;
    }
    const std::string named = PoHeaderField(header->str, kCodePageField);
    char* end = nullptr;
    codePage = static_cast<unsigned>(std::strtoul(named.c_str(), &end, 10));
    if (named.empty() || *end != '\0' || codePage == 0) {
        err << "kelvon-lng: " << path << ":" << line << ": the header names no code page (" << kCodePageField
            << "): the catalog's keys depend on it\n";
        return false;
    }
    return true;
}

bool ExportPo(const ModuleTexts& texts, const CatalogFile* catalog, const std::string& name,
              const PoModules& modules, const std::string& language, const CodePage& codePage, std::ostream& out,
              std::ostream& err) {
    Converter convert(codePage, err);
    PoFile file(po_file_create());
    po_message_iterator_t iterator = po_message_iterator(file.get(), nullptr);
    po_message_t header = po_message_create();
    po_message_set_msgid(header, "");
    po_message_set_msgstr(header, PoHeader(language, codePage.Number()).c_str());
    po_message_insert(iterator, header);
    for (const KeyedText& text : texts.texts) {
        const CatalogLine* line = catalog ? catalog->LineFor(text.key) : nullptr;
        if (catalog && (!line || !line->IsEntry())) {
            std::vector<const CatalogLine*> entries = catalog->EntriesWithKey(text.key);
            line = entries.empty() ? nullptr : entries.front();
        }
        const std::string where = name + (line ? ":" + std::to_string(line->number) : "");
        po_message_t message = po_message_create();
        po_message_set_msgctxt(message, convert.ToUtf8(text.UseList(), where).c_str());
        po_message_set_msgid(message, Msgid(text).c_str());
        const std::string value = line ? line->Value() : "";
        po_message_set_msgstr(message, !line || IsUntranslated(text, value) ? "" : convert.ToUtf8(value, where).c_str());
        po_message_set_extracted_comments(message, Notes(text, texts.rightToLeft).c_str());
        if (text.kind == kMessageText && IsSingleStringFormat(text.text.c_str())) {
            po_message_set_format(message, "c-format", 1);
        }
        AddReferences(message, text, modules);
        if (line) {
            po_message_set_comments(message, convert.ToUtf8(PoComments(line->comments), where).c_str());
            po_message_set_fuzzy(message, line->needsReview);
            if (!line->previous.empty()) {
                po_message_set_prev_msgid(message, convert.ShownToUtf8(line->previous, where).c_str());
            }
        }
        po_message_insert(iterator, message);
    }
    po_message_iterator_free(iterator);
    if (!convert.ok) return false;
    // The library writes only to a file.
    char path[] = "/tmp/kelvon-lng-po.XXXXXX";
    const int descriptor = mkstemp(path);
    if (descriptor < 0) {
        err << "kelvon-lng: cannot make a scratch file for the PO file\n";
        return false;
    }
    close(descriptor);
    std::vector<std::string> found;
    problems = &found;
    po_file_write(file.get(), path, &kHandler);
    problems = nullptr;
    std::ifstream written(path, std::ios::binary);
    out << std::string(std::istreambuf_iterator<char>(written), std::istreambuf_iterator<char>());
    std::remove(path);
    for (const std::string& problem : found) err << "kelvon-lng: " << problem << "\n";
    return found.empty();
}

bool ImportPo(const ModuleTexts& texts, const std::string& path, const PoReading& po, const std::string& header,
              const CodePage& codePage, std::ostream& out, std::ostream& err) {
    std::unordered_map<std::string, const PoMessage*> byContext;
    auto refuse = [&](const PoMessage& message, const std::string& what) {
        err << "kelvon-lng: " << path << ":" << message.line << ": " << what << "\n";
        return false;
    };
    for (const PoMessage& message : po.messages) {
        if (!message.hasContext) {
            if (message.id.empty()) continue;  // the header
            return refuse(message, "no msgctxt: the catalog finds a translation by its use, which msgctxt names");
        }
        if (message.plural) return refuse(message, "plural forms: the program has one form of each text");
        const auto known = byContext.emplace(message.context, &message);
        if (!known.second) {
            return refuse(message, "msgctxt \"" + message.context + "\" again: its first message is on line " +
                                       std::to_string(known.first->second->line));
        }
    }
    Converter convert(codePage, err);
    std::map<std::string, EntryText> entries;
    for (const KeyedText& text : texts.texts) {
        const std::string context = convert.ToUtf8(text.UseList(), path);
        const auto found = byContext.find(context);
        if (found == byContext.end()) continue;
        const PoMessage& message = *found->second;
        byContext.erase(found);
        const std::string where = path + ":" + std::to_string(message.line);
        if (BreaksCatalog(message.str, false) || BreaksCatalog(message.translatorComments, true)) {
            return refuse(message, "a control character other than a tab or line end: the program would read it as "
                                   "the end of the catalog or of a line");
        }
        EntryText& entry = entries[text.key];
        const std::string value = message.str.empty() ? text.templateValue : convert.FromUtf8(message.str, where);
        entry.tail = "=\"" + EscapeCatalogText(value) + "\"";
        entry.comments = CatalogComments(convert.FromUtf8(message.translatorComments, where));
        // A msgid other than the module's: the text changed since the export.
        const bool changed = message.id != Msgid(text);
        entry.needsReview = message.fuzzy || changed;
        const std::string old = message.hasPrevious ? message.previousId : changed ? message.id : "";
        entry.previous = codePage.Shown(Utf8ToUtf16(old));
    }
    for (const auto& unused : byContext) {
        err << "kelvon-lng: note: " << path << ":" << unused.second->line << ": no text is used as \"" << unused.first
            << "\" any more; left out\n";
    }
    if (!convert.ok) return false;
    WriteCatalog(texts, header, [&entries](const KeyedText& text) -> const EntryText* {
        const auto found = entries.find(text.key);
        return found == entries.end() ? nullptr : &found->second;
    }, out);
    return true;
}
