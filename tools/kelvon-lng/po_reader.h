#pragma once

#include <string>
#include <vector>

// A reader of PO files as gettext writes them, in one pass over the bytes:
// each message with the line it starts on, so that every refusal can name
// it. Obsolete messages (#~) are skipped.

struct PoMessage {
    int line = 0;  // of its first keyword
    bool hasContext = false;
    std::string context;
    std::string id;
    bool plural = false;  // msgid_plural or msgstr[N]
    std::string str;      // msgstr, or msgstr[0]
    bool fuzzy = false;
    bool hasPrevious = false;
    std::string previousId;         // #| msgid
    std::string translatorComments;  // "# " lines, each ending in a line feed
};

struct PoReading {
    std::vector<PoMessage> messages;
    int errorLine = 0;  // 0: read
    std::string error;
};

PoReading ReadPoText(const std::string& bytes);

// A field of the header (the msgstr of the message with an empty msgid and
// no context); empty when it has none. Field names compare without case.
std::string PoHeaderField(const std::string& header, const std::string& name);
