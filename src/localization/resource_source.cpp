#include "localization/resource_source.h"

namespace {

// The bytes of a resource, none when the module lacks it.
const uint8_t* ResourceBytes(HMODULE module, const char* name, const char* type, DWORD& size) {
    size = 0;
    HRSRC found = FindResourceA(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (bytes) size = SizeofResource(module, found);
    return static_cast<const uint8_t*>(bytes);
}

}  // namespace

ResourceText MessageSource(HMODULE module, unsigned id) {
    DWORD size = 0;
    const uint8_t* block = ResourceBytes(module, MAKEINTRESOURCEA(StringBlockOf(id)), RT_STRING, size);
    ResourceText text;
    if (!block || !StringInBlock(block, size, id % kStringsPerBlock, text) || text.units == 0) return {};
    return text;
}

DialogTemplateReader DialogSource(HMODULE module, const char* name) {
    DWORD size = 0;
    const uint8_t* bytes = ResourceBytes(module, name, RT_DIALOG, size);
    return DialogTemplateReader(bytes, size);
}
