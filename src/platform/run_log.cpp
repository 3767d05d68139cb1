#include "platform/run_log.h"

#include <cstring>

#include "platform/path_text.h"

bool RunLogActive = false;

namespace {

// Win32 error codes, spelled here so that this file needs no Windows header.
constexpr long kSuccess = 0;
constexpr long kFileNotFound = 2;
constexpr long kPathNotFound = 3;
constexpr long kAccessDenied = 5;

const char kCutMark[] = " [cut]";
const char kLineEnd[] = "\r\n";

}  // namespace

bool FormLogName(char* name, std::size_t capacity, const char* road, LogDate date, int number) {
    return FormatInto(name, capacity, "Kelvon %s %04d-%02d-%02d #%03d.log", road, date.year, date.month, date.day,
                      number);
}

const char* ResultText(long error, char* buffer, std::size_t capacity) {
    switch (error) {
        case kSuccess: return "ok";
        case kAccessDenied: return "access denied";
        case kFileNotFound:
        case kPathNotFound: return "not found";
        case kLogFailed: return "failed";
        default: FormatInto(buffer, capacity, "error %ld", error); return buffer;
    }
}

bool EscapeLogText(const char* text, char* line, std::size_t capacity) {
    std::size_t used = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        char piece[8] = {static_cast<char>(*p), '\0'};
        if (*p == '\r' || *p == '\n' || *p == '\t') {
            FormatInto(piece, sizeof(piece), "\\%c", *p == '\r' ? 'r' : *p == '\n' ? 'n' : 't');
        } else if (*p < 0x20 || *p == 0x7F) {
            FormatInto(piece, sizeof(piece), "\\x%02X", *p);
        }
        std::size_t length = std::strlen(piece);
        if (used + length >= capacity) {
            line[used] = '\0';
            return false;
        }
        std::memcpy(line + used, piece, length);
        used += length;
    }
    line[used] = '\0';
    return true;
}

std::size_t EndLogLine(char* line, std::size_t capacity, bool whole) {
    // Room is kept for the mark and the line end, so only the text is ever cut.
    std::size_t room = capacity - sizeof(kCutMark) - sizeof(kLineEnd) + 2;
    std::size_t length = std::strlen(line);
    if (length >= room) {
        line[room - 1] = '\0';
        whole = false;
    }
    if (!whole) {
        DropCutLeadByte(line);
        std::strcat(line, kCutMark);
    }
    std::strcat(line, kLineEnd);
    return std::strlen(line);
}
