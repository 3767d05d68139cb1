#include "po_reader.h"

#include <strings.h>

#include <cstdlib>

namespace {

// The escapes of a C string, as gettext writes and reads them.
bool Unescape(const std::string& line, std::size_t at, std::string& text) {
    if (at >= line.size() || line[at] != '"') return false;
    for (++at; at < line.size(); ++at) {
        char c = line[at];
        if (c == '"') return line.find_first_not_of(" \t\r", at + 1) == std::string::npos;
        if (c != '\\') {
            text += c;
            continue;
        }
        if (++at == line.size()) return false;
        switch (line[at]) {
            case 'n': text += '\n'; break;
            case 't': text += '\t'; break;
            case 'r': text += '\r'; break;
            case 'a': text += '\a'; break;
            case 'b': text += '\b'; break;
            case 'f': text += '\f'; break;
            case 'v': text += '\v'; break;
            case '\\': case '"': case '\'': case '?': text += line[at]; break;
            default: return false;
        }
    }
    return false;
}

class Reader {
public:
    explicit Reader(PoReading& reading) : reading_(reading) {}

    bool Line(int number, const std::string& line) {
        if (line.empty() || line.find_first_not_of(" \t\r") == std::string::npos) return true;
        if (line.compare(0, 2, "#~") == 0) {
            Finish();
            return true;
        }
        if (line[0] == '#') return Comment(line);
        if (line[0] == '"') {
            if (!target_) return Fail(number, "a string continues no keyword");
            return Unescape(line, 0, *target_) || Fail(number, "not a quoted string");
        }
        const std::size_t space = line.find(' ');
        const std::string keyword = line.substr(0, space);
        if (space == std::string::npos) return Fail(number, "a keyword without its string");
        const bool startsMessage = keyword == "msgctxt" || (keyword == "msgid" && !(current_.hasContext && !seenId_));
        if (startsMessage && (seenId_ || current_.hasContext)) Finish();
        if (startsMessage && !current_.line) current_.line = number;
        if (keyword == "msgctxt") {
            current_.hasContext = true;
            target_ = &current_.context;
        } else if (keyword == "msgid") {
            seenId_ = true;
            target_ = &current_.id;
        } else if (keyword == "msgid_plural") {
            current_.plural = true;
            target_ = &scratch_;
        } else if (keyword == "msgstr") {
            target_ = &current_.str;
        } else if (keyword.compare(0, 7, "msgstr[") == 0) {
            current_.plural = true;
            target_ = keyword == "msgstr[0]" ? &current_.str : &scratch_;
        } else {
            return Fail(number, "unknown keyword " + keyword);
        }
        if (!current_.line) current_.line = number;
        if (keyword != "msgctxt" && keyword != "msgid" && !seenId_) return Fail(number, keyword + " before msgid");
        return Unescape(line, space + 1, *target_) || Fail(number, "not a quoted string");
    }

    void Finish() {
        if (seenId_) reading_.messages.push_back(std::move(current_));
        current_ = PoMessage();
        seenId_ = false;
        target_ = nullptr;
    }

private:
    bool Comment(const std::string& line) {
        if (seenId_) Finish();
        if (line.compare(0, 2, "#,") == 0) {
            current_.fuzzy |= line.find("fuzzy") != std::string::npos;
        } else if (line.compare(0, 2, "#|") == 0) {
            const std::size_t keyword = line.find_first_not_of(' ', 2);
            if (keyword == std::string::npos) return true;
            if (line.compare(keyword, 6, "msgid ") == 0) {
                current_.hasPrevious = true;
                target_ = &current_.previousId;
                return Unescape(line, keyword + 6, current_.previousId);
            }
            if (line.compare(keyword, 1, "\"") == 0 && target_ == &current_.previousId) {
                return Unescape(line, keyword, current_.previousId);
            }
        } else if (line.size() == 1 || line[1] == ' ') {
            current_.translatorComments += line.substr(line.size() > 1 ? 2 : 1) + "\n";
        }
        return true;
    }

    bool Fail(int number, const std::string& what) {
        reading_.errorLine = number;
        reading_.error = what;
        return false;
    }

    PoReading& reading_;
    PoMessage current_;
    bool seenId_ = false;
    std::string* target_ = nullptr;
    std::string scratch_;
};

}  // namespace

PoReading ReadPoText(const std::string& bytes) {
    PoReading reading;
    Reader reader(reading);
    int number = 1;
    for (std::size_t start = 0; start <= bytes.size(); ++number) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        const std::size_t last = end > start && bytes[end - 1] == '\r' ? end - 1 : end;
        if (!reader.Line(number, bytes.substr(start, last - start))) return reading;
        start = end + 1;
    }
    reader.Finish();
    return reading;
}

std::string PoHeaderField(const std::string& header, const std::string& name) {
    for (std::size_t start = 0; start < header.size();) {
        std::size_t end = header.find('\n', start);
        if (end == std::string::npos) end = header.size();
        const std::string line = header.substr(start, end - start);
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos && strcasecmp(line.substr(0, colon).c_str(), name.c_str()) == 0) {
            const std::size_t value = line.find_first_not_of(' ', colon + 1);
            return value == std::string::npos ? std::string() : line.substr(value);
        }
        start = end + 1;
    }
    return {};
}
