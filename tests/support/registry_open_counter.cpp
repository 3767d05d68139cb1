#include "support/registry_open_counter.h"

namespace {

using OpenKeyFunction = LONG(WINAPI*)(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);

}  // namespace

// The import as it was before wrapping; the linker binds it.
extern "C" OpenKeyFunction realOpenKey __asm__("___real__imp__RegOpenKeyExA@20");

namespace {

HKEY countedRoot = nullptr;
int count = 0;

LONG WINAPI CountingOpenKey(HKEY parent, LPCSTR name, DWORD options, REGSAM access, PHKEY key) {
    if (countedRoot && parent == countedRoot) ++count;
    return realOpenKey(parent, name, options, access, key);
}

}  // namespace

// What every call of RegOpenKeyExA in the program goes through.
extern "C" OpenKeyFunction wrappedOpenKey __asm__("___wrap__imp__RegOpenKeyExA@20");
OpenKeyFunction wrappedOpenKey = CountingOpenKey;

RootOpenCounter::RootOpenCounter(HKEY root) {
    countedRoot = root;
    count = 0;
}

RootOpenCounter::~RootOpenCounter() {
    countedRoot = nullptr;
}

int RootOpenCounter::Count() const {
    return count;
}
