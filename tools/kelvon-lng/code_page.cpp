#include "code_page.h"

#include <cerrno>
#include <string>

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

}  // namespace

CodePage::~CodePage() {
    Close();
}

void CodePage::Close() {
    if (toCodePage_ != kNoConverter) iconv_close(toCodePage_);
    toCodePage_ = kNoConverter;
}

bool CodePage::Open(unsigned number) {
    Close();
    const std::string name = "CP" + std::to_string(number);
    toCodePage_ = iconv_open(name.c_str(), "UTF-16LE");
    iconv_t fromCodePage = iconv_open("UTF-16LE", name.c_str());
    if (toCodePage_ == kNoConverter || fromCodePage == kNoConverter) {
        if (fromCodePage != kNoConverter) iconv_close(fromCodePage);
        Close();
        return false;
    }
    // A lead byte on its own is an incomplete character.
    for (int byte = 0x80; byte < 0x100; ++byte) {
        char input = static_cast<char>(byte);
        char* in = &input;
        std::size_t inLeft = 1;
        char buffer[kMaxCharBytes];
        char* out = buffer;
        std::size_t outLeft = sizeof(buffer);
        iconv(fromCodePage, nullptr, nullptr, nullptr, nullptr);
        leadBytes_[byte] = iconv(fromCodePage, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) &&
                           errno == EINVAL;
    }
    iconv_close(fromCodePage);
    return true;
}

std::string CodePage::FromUtf16(const std::u16string& text, std::size_t limit) const {
    std::string result;
    std::string character;
    // Unit by unit, as the ANSI functions convert: half of a surrogate pair
    // is a character the code page lacks. The text ends at a zero unit.
    for (std::size_t i = 0; i < text.size() && text[i] != 0; ++i) {
        const char unit[2] = {static_cast<char>(text[i] & 0xFF), static_cast<char>(text[i] >> 8)};
        if (!ConvertUnit(toCodePage_, unit, sizeof(unit), character)) character.assign(1, kDefaultChar);
        if (result.size() + character.size() > limit) break;
        result += character;
    }
    return result;
}
