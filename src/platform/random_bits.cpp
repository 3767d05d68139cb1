#include "platform/random_bits.h"

#include <windows.h>

namespace {

// splitmix64: spreads every input bit over the whole result.
std::uint64_t Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::uint64_t ClockBits() {
    static std::uint64_t calls = 0;
    LARGE_INTEGER counter = {};
    QueryPerformanceCounter(&counter);
    std::uint64_t bits = static_cast<std::uint64_t>(counter.QuadPart) ^ (std::uint64_t{GetTickCount()} << 32);
    return Mix(bits ^ Mix(GetCurrentProcessId() ^ (++calls << 32)));
}

}  // namespace

std::uint64_t RandomBits() {
    // RtlGenRandom, which advapi32 exports by this name from Windows XP on.
    using GenRandom = BOOLEAN(WINAPI*)(PVOID, ULONG);
    static auto genRandom = reinterpret_cast<GenRandom>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("advapi32"), "SystemFunction036")));
    std::uint64_t bits = 0;
    if (genRandom && genRandom(&bits, sizeof(bits))) return bits;
    return ClockBits();
}
