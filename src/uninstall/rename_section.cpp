#include "uninstall/rename_section.h"

#include <cstring>

const char kWininitName[] = "wininit.ini";
const char kRenameSection[] = "Rename";

std::string AddDeletionLine(const char* section, std::size_t length, const char* shortPath) {
    const std::string line = std::string("NUL=") + shortPath;
    std::string result;
    bool present = false;
    for (const char* begin = section; begin < section + length && *begin != '\0';) {
        const char* end = static_cast<const char*>(std::memchr(begin, '\0', section + length - begin));
        std::string existing(begin, end ? end : section + length);
        present = present || existing == line;
        result.append(existing).push_back('\0');
        begin += existing.size() + 1;
    }
    if (!present) result.append(line).push_back('\0');
    result.push_back('\0');
    return result;
}
