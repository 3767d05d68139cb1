#include "localization/messages.h"

#include <windows.h>

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

char* LoadMessage(unsigned id) {
    char* buffer = NextMessageBuffer();
    // The catalog's keys are made from the program's own texts, so a loaded
    // catalog bypasses the language library's string table.
    if (Catalog.IsLoaded() || LoadStringA(ResourceModule, id, buffer, kMessageSize) == 0) {
        LoadStringA(ProgramInstance, id, buffer, kMessageSize);
    }
    // A catalog keyed over UTF-16 finds the message by the program's own
    // text as stored, which the system's code page may have turned into "?"s.
    const ResourceText source = Catalog.KeysOverUtf16() ? MessageSource(ProgramInstance, id) : ResourceText();
    TranslateSource(buffer, source, buffer, kMessageSize, kMessageText, nullptr);
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
