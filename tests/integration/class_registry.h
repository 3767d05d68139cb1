#pragma once

// Direct registry access for the tests: planting other programs' entries,
// reading back what the code under test wrote, and snapshots to compare.
// Everything goes through advapi32 itself, not through the program's layer.
// `view` is 0 (the process's own view), KEY_WOW64_32KEY or KEY_WOW64_64KEY.
#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

void PutString(HKEY root, const std::string& key, const std::string& name, const std::string& text);
void PutBinary(HKEY root, const std::string& key, const std::string& name, const std::vector<unsigned char>& bytes);
void PutDword(HKEY root, const std::string& key, const std::string& name, DWORD value);
void MakeKey(HKEY root, const std::string& key);

bool KeyExists(HKEY root, const std::string& key, REGSAM view = 0);
bool ValueExists(HKEY root, const std::string& key, const std::string& name, REGSAM view = 0);
// The REG_SZ text, or "<missing>" when there is no such value.
std::string GetString(HKEY root, const std::string& key, const std::string& name, REGSAM view = 0);
std::vector<unsigned char> GetBinary(HKEY root, const std::string& key, const std::string& name);
// The DWORD, or 0xbdbdbdbd when there is no such value.
DWORD GetDword(HKEY root, const std::string& key, const std::string& name);

// Removes a key with all its subkeys; a missing key is fine.
void DeleteKeyTree(HKEY root, const std::string& key);

// Every key and value below the given keys, flattened: "<key>" for a key,
// "<key>|<value name>" for a value with "<type>:<data>".
using RegistrySnapshot = std::map<std::string, std::string>;
RegistrySnapshot TakeSnapshot(HKEY root, const std::vector<std::string>& keys, REGSAM view = 0);
// "+x" for an entry only in `after`, "-x" only in `before`, "~x" changed.
std::set<std::string> SnapshotDifferences(const RegistrySnapshot& before, const RegistrySnapshot& after);

// The volume extensions ".v00" to ".v99".
std::vector<std::string> VolumeExtensions();

