#include "class_registry.h"

#include <cstdio>

namespace {

void PutValue(HKEY root, const std::string& key, const std::string& name, DWORD type, const void* data,
              DWORD size) {
    HKEY handle;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExA(handle, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(handle);
}

// The raw bytes of a value; false when it is missing.
bool GetValue(HKEY root, const std::string& key, const std::string& name, DWORD* type,
              std::vector<unsigned char>* data, REGSAM view = 0) {
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE | view, &handle) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    LONG result = RegQueryValueExA(handle, name.c_str(), nullptr, type, nullptr, &size);
    if (result == ERROR_SUCCESS) {
        data->assign(size, 0);
        result = RegQueryValueExA(handle, name.c_str(), nullptr, type, data->data(), &size);
        data->resize(size);
    }
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

std::string Describe(DWORD type, const unsigned char* data, DWORD size) {
    std::string text = std::to_string(type) + ":";
    for (DWORD i = 0; i < size; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof(hex), "%02x", data[i]);
        text += hex;
    }
    return text;
}

void SnapshotKey(HKEY root, const std::string& key, REGSAM view, RegistrySnapshot& snapshot) {
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS) return;
    snapshot[key] = "";
    DWORD maxName = 0, maxData = 0;
    RegQueryInfoKeyA(handle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName, &maxData,
                     nullptr, nullptr);
    std::vector<char> name(maxName + 2);
    std::vector<unsigned char> data(maxData + 1);
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (RegEnumValueA(handle, index, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize) !=
            ERROR_SUCCESS) {
            break;
        }
        snapshot[key + "|" + std::string(name.data(), nameSize)] = Describe(type, data.data(), dataSize);
    }
    std::vector<std::string> children;
    for (DWORD index = 0;; ++index) {
        char child[512];
        DWORD childSize = sizeof(child);
        if (RegEnumKeyExA(handle, index, child, &childSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            break;
        }
        children.push_back(key.empty() ? child : key + "\\" + child);
    }
    RegCloseKey(handle);
    for (const std::string& child : children) SnapshotKey(root, child, view, snapshot);
}

}  // namespace

void PutString(HKEY root, const std::string& key, const std::string& name, const std::string& text) {
    PutValue(root, key, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void PutBinary(HKEY root, const std::string& key, const std::string& name, const std::vector<unsigned char>& bytes) {
    PutValue(root, key, name, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

void PutDword(HKEY root, const std::string& key, const std::string& name, DWORD value) {
    PutValue(root, key, name, REG_DWORD, &value, sizeof(value));
}

void MakeKey(HKEY root, const std::string& key) {
    HKEY handle;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) == ERROR_SUCCESS) {
        RegCloseKey(handle);
    }
}

bool KeyExists(HKEY root, const std::string& key, REGSAM view) {
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE | view, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
}

bool ValueExists(HKEY root, const std::string& key, const std::string& name, REGSAM view) {
    DWORD type;
    std::vector<unsigned char> data;
    return GetValue(root, key, name, &type, &data, view);
}

std::string GetString(HKEY root, const std::string& key, const std::string& name, REGSAM view) {
    DWORD type = 0;
    std::vector<unsigned char> data;
    if (!GetValue(root, key, name, &type, &data, view)) return "<missing>";
    if (type != REG_SZ) return "<type " + std::to_string(type) + ">";
    std::string text(data.begin(), data.end());
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

std::vector<unsigned char> GetBinary(HKEY root, const std::string& key, const std::string& name) {
    DWORD type = 0;
    std::vector<unsigned char> data;
    if (!GetValue(root, key, name, &type, &data) || type != REG_BINARY) data.clear();
    return data;
}

DWORD GetDword(HKEY root, const std::string& key, const std::string& name) {
    DWORD type = 0;
    std::vector<unsigned char> data;
    if (!GetValue(root, key, name, &type, &data) || type != REG_DWORD || data.size() != 4) return 0xbdbdbdbd;
    return data[0] | data[1] << 8 | data[2] << 16 | static_cast<DWORD>(data[3]) << 24;
}

void DeleteKeyTree(HKEY root, const std::string& key) {
    RegDeleteTreeA(root, key.c_str());
    RegDeleteKeyA(root, key.c_str());
}

RegistrySnapshot TakeSnapshot(HKEY root, const std::vector<std::string>& keys, REGSAM view) {
    RegistrySnapshot snapshot;
    for (const std::string& key : keys) SnapshotKey(root, key, view, snapshot);
    return snapshot;
}

std::set<std::string> SnapshotDifferences(const RegistrySnapshot& before, const RegistrySnapshot& after) {
    std::set<std::string> differences;
    for (const auto& entry : before) {
        auto found = after.find(entry.first);
        if (found == after.end()) {
            differences.insert("-" + entry.first);
        } else if (found->second != entry.second) {
            differences.insert("~" + entry.first);
        }
    }
    for (const auto& entry : after) {
        if (!before.count(entry.first)) differences.insert("+" + entry.first);
    }
    return differences;
}

std::vector<std::string> VolumeExtensions() {
    std::vector<std::string> volumes;
    for (int i = 0; i < 100; ++i) {
        char volume[8];
        std::snprintf(volume, sizeof(volume), ".v%02d", i);
        volumes.push_back(volume);
    }
    return volumes;
}

