#include "localization/messages.h"

#include <windows.h>

#include <cstring>

#include "localization/catalog.h"
#include "localization/language_library.h"
#include "localization/message_format.h"
#include "localization/resource_source.h"

namespace {

constexpr int kMessageBufferCount = 8;

char messageBuffers[kMessageBufferCount][kMessageSize];
int messageBufferIndex = 0;

char* NextMessageBuffer() {
    if (++messageBufferIndex == kMessageBufferCount) messageBufferIndex = 0;
    char* buffer = messageBuffers[messageBufferIndex];
    buffer[0] = '\0';
    return buffer;
}

// The module message `id` comes from. The catalog's keys are made from the
// program's own texts, so a loaded catalog bypasses the language library's
// string table.
HMODULE MessageModule(unsigned id) {
    return !Catalog.IsLoaded() && MessageSource(ResourceModule, id).bytes ? ResourceModule : ProgramInstance;
}

char* LoadMessage(unsigned id) {
    char* buffer = NextMessageBuffer();
    const HMODULE module = MessageModule(id);
    LoadStringA(module, id, buffer, kMessageSize);
    // A catalog keyed over UTF-16 finds the message by the program's own
    // text as stored, which the system's code page may have turned into "?"s.
    TranslateSource(buffer, MessageSource(module, id), buffer, kMessageSize, kMessageText, nullptr);
    return buffer;
}

}  // namespace

const char* GetMsg(unsigned id) {
    return LoadMessage(id);
}

const char* GetFormatMsg(unsigned id) {
    char* buffer = LoadMessage(id);
    if (IsSingleStringFormat(buffer)) return buffer;
    buffer[0] = '\0';
    LoadStringA(ProgramInstance, id, buffer, kMessageSize);
    if (!IsSingleStringFormat(buffer)) buffer[0] = '\0';
    return buffer;
}

bool GetMsgW(unsigned id, wchar_t* out, int capacity) {
    out[0] = L'\0';
    const HMODULE module = MessageModule(id);
    const ResourceText source = MessageSource(module, id);
    char text[kMessageSize] = "";
    LoadStringA(module, id, text, sizeof(text));
    char translated[kMessageSize];
    if (Catalog.TranslateSource(text, source, translated, sizeof(translated), kMessageText, nullptr)) {
        const UINT codePage = IsValidCodePage(Catalog.codePage) ? Catalog.codePage : CP_ACP;
        if (MultiByteToWideChar(codePage, 0, translated, -1, out, capacity) != 0) return true;
        out[0] = L'\0';
        return false;
    }
    if (!source.bytes || source.units >= static_cast<std::size_t>(capacity)) return false;
    // The resource's units may lie at any address.
    std::memcpy(out, source.bytes, source.units * sizeof(wchar_t));
    out[source.units] = L'\0';
    return true;
}
