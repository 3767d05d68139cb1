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
