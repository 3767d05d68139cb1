#include "po_file.h"

#include <gettext-po.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

#include "catalog_writer.h"
#include "commands.h"
#include "localization/catalog.h"

namespace {

const char kCodePageField[] = "X-Code-Page";
const char kCharsetUtf8[] = "charset=UTF-8";

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

// Reads a PO file; null, with every problem on `err`, when it has any.
PoFile ReadPo(const std::string& path, std::ostream& err) {
    std::vector<std::string> found;
    problems = &found;
    PoFile file(po_file_read(path.c_str(), &kHandler));
    problems = nullptr;
    for (const std::string& problem : found) err << "kelvon-lng: " << problem << "\n";
    if (!found.empty()) file.reset();
    return file;
}

std::string HeaderField(po_file_t file, const char* field) {
    // Both strings are the caller's to free, though one is declared const.
    char* header = const_cast<char*>(po_file_domain_header(file, nullptr));
    char* value = header ? po_header_field(header, field) : nullptr;
    std::string text = value ? value : "";
    std::free(value);
    std::free(header);
    return text;
}

std::string Unescaped(const std::string& escaped) {
    std::string text = escaped + '\0';
    text.resize(static_cast<std::size_t>(UnescapeCatalogText(&text[0], static_cast<int>(escaped.size()))));
    return text;
}

// What a PO message stands for: a size or the direction has no source text.
std::string Msgid(const KeyedText& text) {
    return text.role == EntryRole::Text ? text.text : text.templateValue;
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

// The line of the PO file where the message of this context starts.
std::string PoLine(const std::string& path, const std::string& bytes, const std::string& context) {
    const std::size_t at = bytes.find("msgctxt \"" + context + "\"");
    if (at == std::string::npos) return path;
    return path + ":" + std::to_string(1 + std::count(bytes.begin(), bytes.begin() + at, '\n'));
}

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

bool ReadPoCodePage(const std::string& path, unsigned& codePage, std::string& error) {
    std::ostringstream problems;
    PoFile file = ReadPo(path, problems);
    if (!file) {
        error = problems.str().empty() ? path + ": not a PO file" : problems.str();
        if (error.back() == '\n') error.pop_back();
        return false;
    }
    codePage = static_cast<unsigned>(std::strtoul(HeaderField(file.get(), kCodePageField).c_str(), nullptr, 10));
    return true;
}

bool ExportPo(const ModuleTexts& texts, const CatalogFile& catalog, const std::string& name,
              const CodePage& codePage, std::ostream& out, std::ostream& err) {
    Converter convert(codePage, err);
    PoFile file(po_file_create());
    po_message_iterator_t iterator = po_message_iterator(file.get(), nullptr);
    po_message_t header = po_message_create();
    po_message_set_msgid(header, "");
    po_message_set_msgstr(header, ("Content-Type: text/plain; " + std::string(kCharsetUtf8) +
                                   "\nContent-Transfer-Encoding: 8bit\n" + kCodePageField + ": " +
                                   std::to_string(codePage.Number()) + "\n").c_str());
    po_message_insert(iterator, header);
    for (const KeyedText& text : texts.texts) {
        const CatalogLine* line = catalog.LineFor(text.key);
        if (!line || !line->IsEntry()) {
            std::vector<const CatalogLine*> entries = catalog.EntriesWithKey(text.key);
            line = entries.empty() ? nullptr : entries.front();
        }
        const std::string where = name + (line ? ":" + std::to_string(line->number) : "");
        po_message_t message = po_message_create();
        po_message_set_msgctxt(message, convert.ToUtf8(text.UseList(), where).c_str());
        po_message_set_msgid(message, convert.ToUtf8(Msgid(text), where).c_str());
        const std::string value = line ? line->Value() : Msgid(text);
        po_message_set_msgstr(message, IsUntranslated(text, value) ? "" : convert.ToUtf8(value, where).c_str());
        if (line) {
            po_message_set_comments(message, convert.ToUtf8(PoComments(line->comments), where).c_str());
            po_message_set_fuzzy(message, line->needsReview);
            if (!line->previous.empty()) {
                po_message_set_prev_msgid(message, convert.ToUtf8(Unescaped(line->previous), where).c_str());
            }
        }
        if (line) po_message_add_filepos(message, name.c_str(), static_cast<std::size_t>(line->number));
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

bool ImportPo(const ModuleTexts& texts, const std::string& path, const std::string& bytes, const std::string& header,
              const CodePage& codePage, std::ostream& out, std::ostream& err) {
    PoFile file = ReadPo(path, err);
    if (!file) return false;
    if (HeaderField(file.get(), "Content-Type").find(kCharsetUtf8) == std::string::npos) {
        err << "kelvon-lng: " << path << ": the PO file is not in UTF-8 (its header's Content-Type)\n";
        return false;
    }
    std::map<std::string, po_message_t> byContext;
    po_message_iterator_t iterator = po_message_iterator(file.get(), nullptr);
    for (po_message_t message; (message = po_next_message(iterator));) {
        const char* context = po_message_msgctxt(message);
        if (context && !po_message_is_obsolete(message)) byContext.emplace(context, message);
    }
    po_message_iterator_free(iterator);
    Converter convert(codePage, err);
    std::map<std::string, EntryText> entries;
    for (const KeyedText& text : texts.texts) {
        const std::string context = convert.ToUtf8(text.UseList(), path);
        const auto found = byContext.find(context);
        if (found == byContext.end()) continue;
        po_message_t message = found->second;
        byContext.erase(found);
        const std::string where = PoLine(path, bytes, context);
        const std::string msgid = convert.FromUtf8(po_message_msgid(message), where);
        const std::string msgstr = po_message_msgstr(message);
        const char* previous = po_message_prev_msgid(message);
        EntryText& entry = entries[text.key];
        const std::string value = msgstr.empty() ? text.templateValue : convert.FromUtf8(msgstr, where);
        entry.tail = "=\"" + EscapeCatalogText(value) + "\"";
        entry.comments = CatalogComments(convert.FromUtf8(po_message_comments(message), where));
        // A msgid other than the module's: the text changed since the export.
        entry.needsReview = po_message_is_fuzzy(message) || msgid != Msgid(text);
        const std::string old = previous ? convert.FromUtf8(previous, where) : msgid != Msgid(text) ? msgid : "";
        entry.previous = EscapeCatalogText(old);
    }
    for (const auto& unused : byContext) {
        err << "kelvon-lng: note: " << PoLine(path, bytes, unused.first) << ": no text is used as \"" << unused.first
            << "\" any more; left out\n";
    }
    if (!convert.ok) return false;
    WriteCatalog(texts, header, [&entries](const KeyedText& text) -> const EntryText* {
        const auto found = entries.find(text.key);
        return found == entries.end() ? nullptr : &found->second;
    }, out);
    return true;
}
