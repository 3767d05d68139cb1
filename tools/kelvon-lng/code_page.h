#pragma once

#include <iconv.h>

#include <cstddef>
#include <string>

#include "platform/path_text.h"

// UTF-16 and UTF-8, converted without a code page; a UTF-8 sequence that is
// not one gives U+FFFD.
std::string Utf16ToUtf8(const std::u16string& text);
std::u16string Utf8ToUtf16(const std::string& text);

// Resource texts are UTF-16; the program sees them through the ANSI
// functions (LoadStringA, GetWindowTextA) in the system's ANSI code page, and
// its catalog keys are computed over those bytes.
class CodePage {
public:
    CodePage() = default;
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;
    ~CodePage();

    // False when the converter does not know code page `number`.
    bool Open(unsigned number);

    // The bytes an ANSI function gives for `text`: a character the code page
    // lacks becomes "?", and the text ends before the first character that
    // would not fit in `limit` bytes.
    std::string FromUtf16(const std::u16string& text, std::size_t limit) const;

    // `text` for a comment of a catalog: what the code page holds as its
    // bytes, escaped as the catalog escapes them, and every other character
    // as \uXXXX.
    std::string Shown(const std::u16string& text) const;

    // Whether `byte` starts a double-byte character.
    bool IsLeadByte(unsigned char byte) const { return leadBytes_.LeadByte[byte]; }
    // The same as the program's table, for a catalog's cuts.
    const LeadByteTableData& LeadBytes() const { return leadBytes_; }
    unsigned Number() const { return number_; }

    // Exact conversions between the code page and UTF-8: a text converts
    // only when converting it back gives the same bytes. On failure `badAt`
    // is the offset in `text` of the first byte that does not.
    bool ToUtf8(const std::string& text, std::string& utf8, std::size_t& badAt) const;
    bool FromUtf8(const std::string& utf8, std::string& text, std::size_t& badAt) const;

private:
    void Close();
    std::string FromUtf16(const std::u16string& text, std::size_t limit, bool marked) const;

    iconv_t toCodePage_ = reinterpret_cast<iconv_t>(-1);
    iconv_t utf8ToCodePage_ = reinterpret_cast<iconv_t>(-1);
    iconv_t codePageToUtf8_ = reinterpret_cast<iconv_t>(-1);
    LeadByteTableData leadBytes_ = {};
    unsigned number_ = 0;
};
