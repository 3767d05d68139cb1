#pragma once

#include <windows.h>

// Counts the calls of RegOpenKeyExA made relative to one root key while an
// object of this class lives. A program that links kelvon_registry_open_counter
// has advapi32's RegOpenKeyExA import wrapped at link time (-Wl,--wrap), so the
// calls made inside the product code are seen without any hook in it.
// RegDeleteTree opens its top key relative to the root once per pass.
class RootOpenCounter {
public:
    explicit RootOpenCounter(HKEY root);
    RootOpenCounter(const RootOpenCounter&) = delete;
    RootOpenCounter& operator=(const RootOpenCounter&) = delete;
    ~RootOpenCounter();

    int Count() const;
};
