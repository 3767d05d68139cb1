#pragma once

#include <cstddef>
#include <cstdint>

// The standard CRC-32 update (reflected polynomial 0xEDB88320) without the
// initial value and the final complement, so that calls chain over pieces:
// the CRC of a text is ~Crc32(0xFFFFFFFF, text, size).
uint32_t Crc32(uint32_t state, const void* bytes, std::size_t count);
