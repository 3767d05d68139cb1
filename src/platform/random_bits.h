#pragma once

#include <cstdint>

// 64 bits that another process cannot foresee, from the system's random
// number generator (Windows XP and later). Before XP, where nothing needs
// them to be secret, a mix of the clocks and the process id that differs
// from call to call.
std::uint64_t RandomBits();
