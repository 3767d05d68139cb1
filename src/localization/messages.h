#pragma once

// The size of a message buffer; longer texts are cut to fit.
constexpr int kMessageSize = 512;

// The text of message `id`, in one of eight rotating 512-byte buffers: it
// stays valid for eight further calls. A missing message gives "". The
// catalog's translation, if any, replaces the text.
const char* GetMsg(unsigned id);

// GetMsg for a message that is a printf format taking one string argument.
// A replacement with any other conversion is refused in favour of the
// program's own, untranslated text, so that it is always safe to format.
const char* GetFormatMsg(unsigned id);

// Message `id` in UTF-16, for the wide calls of the NT family: a catalog's
// translation converted from the catalog's code page (the system's when that
// one is not installed), else the text as the resources hold it, which the
// system's code page may lack. False, with an empty text, when the message
// is missing or does not fit `capacity` units with its terminator.
bool GetMsgW(unsigned id, wchar_t* out, int capacity);
