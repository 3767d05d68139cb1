#pragma once

#include <windows.h>

// Makes a key refuse every access, the way a machine-wide key refuses a user
// without administrator rights: its DACL denies everything to Everyone.
// Wine enforces it, so RegCreateKeyExA(..., KEY_WRITE, ...) on exactly that
// key fails with ERROR_ACCESS_DENIED (keys below it can still be created).
// The key is created when missing. The handle that set the DACL is kept, so
// that the destructor can give the key a permissive DACL again; the caller
// then deletes the key.
class RegistryKeyLock {
public:
    // `path` is absolute under `root` (no "Software\Kelvon" expansion).
    RegistryKeyLock(HKEY root, const char* path);
    RegistryKeyLock(const RegistryKeyLock&) = delete;
    RegistryKeyLock& operator=(const RegistryKeyLock&) = delete;
    ~RegistryKeyLock();

    bool Locked() const { return locked_; }

private:
    HKEY key_ = nullptr;
    bool locked_ = false;
};
