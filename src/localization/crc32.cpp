#include "localization/crc32.h"

namespace {

constexpr uint32_t kPolynomial = 0xEDB88320u;

uint32_t crcTable[256];

// Entry 1 is never zero once built, so it tells whether the table is ready.
void BuildTableOnce() {
    if (crcTable[1] != 0) return;
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? (c >> 1) ^ kPolynomial : c >> 1;
        crcTable[i] = c;
    }
}

inline uint32_t UpdateByte(uint32_t state, unsigned char b) {
    return (state >> 8) ^ crcTable[(state ^ b) & 0xFF];
}

// Assembled byte by byte: the same on any host, and no unaligned or aliased
// access for the sanitizers to object to.
inline uint32_t LittleEndianWord(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline uint32_t UpdateWord(uint32_t state, uint32_t word) {
    state ^= word;
    for (int i = 0; i < 4; ++i) state = (state >> 8) ^ crcTable[state & 0xFF];
    return state;
}

}  // namespace

uint32_t Crc32(uint32_t state, const void* bytes, std::size_t count) {
    BuildTableOnce();
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    for (; count > 0 && reinterpret_cast<uintptr_t>(p) % 8 != 0; --count) state = UpdateByte(state, *p++);
    for (; count >= 8; count -= 8, p += 8) {
        state = UpdateWord(state, LittleEndianWord(p));
        state = UpdateWord(state, LittleEndianWord(p + 4));
    }
    for (; count > 0; --count) state = UpdateByte(state, *p++);
    return state;
}
