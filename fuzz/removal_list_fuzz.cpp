// Arbitrary bytes as the list of installed files. The uninstall deletes what
// the list names with administrator rights, so every entry the reader accepts
// must name a path inside the program folder that fits a path buffer. The
// first byte chooses a single-byte code page or a double-byte one, whose
// trail bytes include the backslash.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/path_text.h"
#include "uninstall/removal_list.h"

namespace {

const char kFolder[] = "C:\\Program Files\\Kelvon\\";

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

bool IsLeadByte(unsigned char c) {
    return LeadByteTable.MultiByte && LeadByteTable.LeadByte[c];
}

// Whether the part of a path below the folder stays inside it as Windows
// resolves it: not rooted, no drive, device or stream colon, and no ".."
// that climbs above the folder. A name of dots and blanks alone may be read
// as "..", so it counts as one.
bool ResolvesInside(const std::string& rest) {
    if (rest.empty() || rest[0] == '\\' || rest[0] == '/') return false;
    int depth = 0;
    std::string component;
    for (std::size_t i = 0; i <= rest.size(); ++i) {
        unsigned char c = i < rest.size() ? static_cast<unsigned char>(rest[i]) : '\0';
        if (c == ':') return false;
        if (c != '\0' && c != '\\' && c != '/') {
            component += static_cast<char>(c);
            if (IsLeadByte(c) && i + 1 < rest.size()) component += rest[++i];
            continue;
        }
        // Windows drops a dot or blank at the end of a name: none may be there.
        Check(component.empty() || (component.back() != '.' && component.back() != ' '));
        bool dotsAndBlanks = !component.empty() && component.find_first_not_of(". ") == std::string::npos;
        if (dotsAndBlanks && component != ".") --depth;
        else if (!component.empty() && component != ".") ++depth;
        if (depth < 0) return false;
        component.clear();
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    LeadByteTable = {};
    if (data[0] & 1) {
        LeadByteTable.MultiByte = 1;
        for (int c = 0x81; c <= 0xFE; ++c) LeadByteTable.LeadByte[c] = 1;
    }
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    RemovalList list = ReadRemovalList(text, kFolder);
    const std::size_t folderLength = std::strlen(kFolder);
    for (const std::string& path : list.paths) {
        Check(path.size() < kPathSize);
        Check(path.compare(0, folderLength, kFolder) == 0);
        Check(ResolvesInside(path.substr(folderLength)));
    }
    return 0;
}
