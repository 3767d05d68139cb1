#pragma once

#include <iconv.h>

#include <cstddef>
#include <string>

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

    // Whether `byte` starts a double-byte character.
    bool IsLeadByte(unsigned char byte) const { return leadBytes_[byte]; }

private:
    void Close();

    iconv_t toCodePage_ = reinterpret_cast<iconv_t>(-1);
    bool leadBytes_[256] = {};
};
