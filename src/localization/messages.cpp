#include "localization/messages.h"

#include <windows.h>

namespace {

constexpr int kMessageBufferCount = 8;
constexpr int kMessageSize = 512;

char messageBuffers[kMessageBufferCount][kMessageSize];
int messageBufferIndex = 0;

}  // namespace

const char* GetMsg(unsigned id) {
    messageBufferIndex = (messageBufferIndex + 1) % kMessageBufferCount;
    char* buffer = messageBuffers[messageBufferIndex];
    buffer[0] = '\0';
    LoadStringA(GetModuleHandleA(nullptr), id, buffer, kMessageSize);
    return buffer;
}
