#include "code_page.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include "catalog_file.h"

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);
// What the ANSI functions put for a character the code page lacks.
constexpr char kDefaultChar = '?';
// No code page takes more bytes for one UTF-16 unit.
constexpr std::size_t kMaxCharBytes = 4;

// Converts one complete input unit; false when the converter refuses it.
bool ConvertUnit(iconv_t converter, const char* input, std::size_t inputSize, std::string& output) {
    char buffer[kMaxCharBytes * 2];
    char* in = const_cast<char*>(input);
    char* out = buffer;
    std::size_t inLeft = inputSize;
    std::size_t outLeft = sizeof(buffer);
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) return false;
    output.assign(buffer, out);
    return true;
}

// Converts the whole of `input`; on failure `badAt` is where it stopped.
bool ConvertAll(iconv_t converter, const std::string& input, std::string& output, std::size_t& badAt) {
    output.clear();
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[256];
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof(buffer);
        const bool failed = iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1);
        output.append(buffer, out);
        if (failed && errno != E2BIG) {
            badAt = input.size() - inLeft;
            return false;
        }
    }
    return true;
}

// The first offset where two texts differ.
std::size_t FirstDifference(const std::string& a, const std::string& b) {
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
    return at;
}

// A conversion counts only when converting back gives the same bytes: a
// best-fit look-alike would change the text without a word.
bool ConvertExactly(iconv_t forward, iconv_t backward, const std::string& input, std::string& output,
                    std::size_t& badAt) {
    std::string back;
    if (!ConvertAll(forward, input, output, badAt)) return false;
    if (ConvertAll(backward, output, back, badAt) && back == input) return true;
    badAt = FirstDifference(input, back);
    return false;
}

void CloseConverter(iconv_t& converter) {
    if (converter != kNoConverter) iconv_close(converter);
    converter = kNoConverter;
}

}  // namespace

CodePage::~CodePage() {
    Close();
}

void CodePage::Close() {
    CloseConverter(toCodePage_);
    CloseConverter(utf8ToCodePage_);
    CloseConverter(codePageToUtf8_);
}

bool CodePage::Open(unsigned number) {
    Close();
    const std::string name = "CP" + std::to_string(number);
    toCodePage_ = iconv_open(name.c_str(), "UTF-16LE");
    utf8ToCodePage_ = iconv_open(name.c_str(), "UTF-8");
    codePageToUtf8_ = iconv_open("UTF-8", name.c_str());
    iconv_t fromCodePage = iconv_open("UTF-16LE", name.c_str());
    if (toCodePage_ == kNoConverter || fromCodePage == kNoConverter || utf8ToCodePage_ == kNoConverter ||
        codePageToUtf8_ == kNoConverter) {
        if (fromCodePage != kNoConverter) iconv_close(fromCodePage);
        Close();
        return false;
    }
    number_ = number;
    // A lead byte on its own is an incomplete character.
    for (int byte = 0x80; byte < 0x100; ++byte) {
        char input = static_cast<char>(byte);
        char* in = &input;
        std::size_t inLeft = 1;
        char buffer[kMaxCharBytes];
        char* out = buffer;
        std::size_t outLeft = sizeof(buffer);
        iconv(fromCodePage, nullptr, nullptr, nullptr, nullptr);
        leadBytes_.LeadByte[byte] = iconv(fromCodePage, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) &&
                           errno == EINVAL;
    }
    iconv_close(fromCodePage);
    for (unsigned char lead : leadBytes_.LeadByte) leadBytes_.MultiByte |= lead;
    return true;
}

bool CodePage::ToUtf8(const std::string& text, std::string& utf8, std::size_t& badAt) const {
    return ConvertExactly(codePageToUtf8_, utf8ToCodePage_, text, utf8, badAt);
}

bool CodePage::FromUtf8(const std::string& utf8, std::string& text, std::size_t& badAt) const {
    return ConvertExactly(utf8ToCodePage_, codePageToUtf8_, utf8, text, badAt);
}

std::string CodePage::FromUtf16(const std::u16string& text, std::size_t limit) const {
    return FromUtf16(text, limit, false);
}

std::string CodePage::Shown(const std::u16string& text) const {
    return FromUtf16(text, std::string::npos, true);
}

std::string CodePage::FromUtf16(const std::u16string& text, std::size_t limit, bool marked) const {
    std::string result;
    std::string character;
    // Unit by unit, as the ANSI functions convert: half of a surrogate pair
    // is a character the code page lacks. The text ends at a zero unit.
    for (std::size_t i = 0; i < text.size() && text[i] != 0; ++i) {
        const char unit[2] = {static_cast<char>(text[i] & 0xFF), static_cast<char>(text[i] >> 8)};
        if (ConvertUnit(toCodePage_, unit, sizeof(unit), character)) {
            if (marked) character = EscapeCatalogText(character);
        } else if (marked) {
            char escape[8];
            std::snprintf(escape, sizeof(escape), "\\u%04X", static_cast<unsigned>(text[i]));
            character = escape;
        } else {
            character.assign(1, kDefaultChar);
        }
        if (result.size() + character.size() > limit) break;
        result += character;
    }
    return result;
}

std::string Utf16ToUtf8(const std::u16string& text) {
    std::string utf8;
    for (std::size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else if (c < 0x800) {
            utf8 += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
        } else if (c < 0x10000) {
            utf8 += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                     static_cast<char>(0x80 | (c & 0x3F))};
        } else {
            utf8 += {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
                     static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
        }
    }
    return utf8;
}

std::u16string Utf8ToUtf16(const std::string& text) {
    std::u16string utf16;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const std::size_t size = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                                 : lead >= 0xF0 && lead < 0xF5                  ? 4
                                                                                : 0;
        uint32_t c = size == 1 ? lead : size == 2 ? lead & 0x1F : size == 3 ? lead & 0x0F : lead & 0x07;
        bool ok = size != 0 && i + size <= text.size();
        for (std::size_t k = 1; ok && k < size; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            ok = (next & 0xC0) == 0x80;
            c = c << 6 | (next & 0x3F);
        }
        if (!ok) {
            utf16 += u'\uFFFD';
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            utf16 += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            utf16 += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            utf16 += static_cast<char16_t>(c);
        }
        i += size;
    }
    return utf16;
}
