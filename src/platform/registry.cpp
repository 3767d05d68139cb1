#include "platform/registry.h"

#include <cstring>

#include "platform/path_text.h"
#include "platform/registry_layout.h"
#include "platform/run_log.h"
#include "platform/system.h"

DWORD RegistryView = 0;
int DeletedKeyCount = 0;

namespace {

// A key name has up to 255 characters; in a double-byte code page that is up
// to 510 bytes. A name that does not fit would end the enumeration early and
// leave its branch behind.
constexpr DWORD kSubkeyNameSize = 512;

// The last error of a key that a tree deletion could not delete, for the log.
LONG treeDeleteFailure = ERROR_SUCCESS;

// A key handle that is closed when it goes out of scope.
class OpenKey {
public:
    OpenKey() = default;
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    ~OpenKey() {
        if (key_) RegCloseKey(key_);
    }
    HKEY* Receive() { return &key_; }
    HKEY Get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

private:
    HKEY key_ = nullptr;
};

LONG RegCreateForWrite(HKEY root, const char* path, OpenKey& key, DWORD* disposition) {
    char expanded[kKeyPathSize];
    if (!ExpandKeyPath(path, root, expanded, sizeof(expanded))) return ERROR_INVALID_NAME;
    LONG result = RegCreateKeyExA(root, expanded, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | RegistryView,
                                  nullptr, key.Receive(), disposition);
    if (result != ERROR_SUCCESS) *key.Receive() = nullptr;
    return result;
}

// The access bits that select `view`: none unless the process runs under
// WOW64, where alone the views differ. Older systems may refuse the bit.
DWORD ViewAccess(RegView view) { return IsWow64() ? static_cast<DWORD>(view) : 0; }

// RegDeleteKeyExA, the one call that deletes in a chosen view, exists only
// from 64-bit XP and Vista on; elsewhere the plain call is right, since only
// WOW64 has a second view.
LONG DeleteKey(HKEY parent, const char* name, DWORD viewAccess) {
    if (viewAccess == 0) return RegDeleteKeyA(parent, name);
    using DeleteKeyExFn = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);
    auto deleteKeyEx = reinterpret_cast<DeleteKeyExFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("advapi32"), "RegDeleteKeyExA")));
    // Without it the plain call would delete in the process's own view.
    return deleteKeyEx ? deleteKeyEx(parent, name, viewAccess, 0) : ERROR_CALL_NOT_IMPLEMENTED;
}

bool RegOpenForRead(HKEY root, const char* path, OpenKey& key, RegView view) {
    char expanded[kKeyPathSize];
    if (!ExpandKeyPath(path, root, expanded, sizeof(expanded))) return false;
    if (RegOpenKeyExA(root, expanded, 0, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | ViewAccess(view),
                      key.Receive()) != ERROR_SUCCESS) {
        *key.Receive() = nullptr;
        return false;
    }
    return true;
}

// The key as the log names it: root, the path as the registry got it, and
// the view when it is the other one.
constexpr std::size_t kKeyTextSize = kKeyPathSize + 32;

void DescribeKey(HKEY root, const char* path, DWORD viewAccess, char (&text)[kKeyTextSize]) {
    const char* rootName = root == HKEY_CLASSES_ROOT    ? "HKCR"
                           : root == HKEY_CURRENT_USER  ? "HKCU"
                           : root == HKEY_LOCAL_MACHINE ? "HKLM"
                                                        : "HKEY";
    char expanded[kKeyPathSize];
    bool fits = ExpandKeyPath(path, root, expanded, sizeof(expanded));
    FormatInto(text, sizeof(text), "%s\\%s%s", rootName, fits ? expanded : "(key path too long)",
               viewAccess ? " (64-bit view)" : "");
}

const char* ValueNameText(const char* name) { return name[0] ? name : "(default)"; }

void LogWrite(HKEY root, const char* path, const char* name, DWORD type, const void* data, DWORD size,
              bool newKey, LONG result) {
    char key[kKeyTextSize];
    DescribeKey(root, path, RegistryView, key);
    const char* created = newKey ? " (new key)" : "";
    if (type == REG_SZ) {
        LogAction(result, "registry: set %s [%s] = \"%s\"%s", key, ValueNameText(name),
                  static_cast<const char*>(data), created);
    } else if (type == REG_DWORD) {
        LogAction(result, "registry: set %s [%s] = %lu%s", key, ValueNameText(name),
                  *static_cast<const DWORD*>(data), created);
    } else {
        LogAction(result, "registry: set %s [%s] = %lu bytes%s", key, ValueNameText(name), size, created);
    }
}

LONG WriteValue(HKEY root, const char* path, const char* name, DWORD type, const void* data, DWORD size) {
    OpenKey key;
    DWORD disposition = 0;
    LONG result = RegCreateForWrite(root, path, key, &disposition);
    if (result == ERROR_SUCCESS) {
        result = RegSetValueExA(key.Get(), name, 0, type, static_cast<const BYTE*>(data), size);
    }
    if (RunLogActive) LogWrite(root, path, name, type, data, size, disposition == REG_CREATED_NEW_KEY, result);
    return result;
}

// One recursive pass over the key `name` below `parent`. Children are opened
// and deleted relative to their parent's handle: a full path from the root
// soon outgrows what the registry accepts in one call (Wine refuses one of
// 284 characters), and a child that cannot be reached would keep its whole
// branch alive. The index advances past children that were just deleted, so a
// pass takes only part of a wide key; the next pass takes the rest.
void DeleteTreePass(HKEY parent, const char* name, DWORD viewAccess) {
    if (!*name) return;  // never a root key
    {
        OpenKey key;
        if (RegOpenKeyExA(parent, name, 0, KEY_READ | viewAccess, key.Receive()) != ERROR_SUCCESS) return;
        for (DWORD index = 0;; ++index) {
            char child[kSubkeyNameSize];
            DWORD childSize = sizeof(child);
            if (RegEnumKeyExA(key.Get(), index, child, &childSize, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS) {
                break;
            }
            DeleteTreePass(key.Get(), child, viewAccess);
        }
    }
    LONG result = DeleteKey(parent, name, viewAccess);
    if (result == ERROR_SUCCESS) {
        ++DeletedKeyCount;
    } else {
        treeDeleteFailure = result;
    }
}

// A key that has subkeys is kept on the NT family, which reports that as
// access denied; the log says which it was.
void LogKeyDeletion(HKEY root, const char* path, RegView view, LONG result) {
    char key[kKeyTextSize];
    DescribeKey(root, path, ViewAccess(view), key);
    OpenKey open;
    DWORD subkeys = 0;
    if (result == ERROR_ACCESS_DENIED && RegOpenForRead(root, path, open, view) &&
        RegQueryInfoKeyA(open.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
        subkeys != 0) {
        LogKept("registry: kept key %s: it has subkeys", key);
        return;
    }
    LogAction(result, "registry: deleted key %s", key);
}

void LogTreeDeletion(HKEY root, const char* path, RegView view, bool deleted) {
    bool remains = RegKeyExists(root, path, view);
    if (!deleted && !remains) return;  // there was nothing to delete
    LONG result = !remains                             ? ERROR_SUCCESS
                  : treeDeleteFailure != ERROR_SUCCESS ? treeDeleteFailure
                                                       : kLogFailed;
    char key[kKeyTextSize];
    DescribeKey(root, path, ViewAccess(view), key);
    LogAction(result, "registry: deleted key %s with everything below it", key);
}

}  // namespace

bool ExpandKeyPath(const char* path, HKEY root, char* destination, size_t capacity) {
    if (std::strlen(path) + 20 > capacity) return false;
    if (root == HKEY_CURRENT_USER) {
        if (path[0] == '\\') {
            CopyBounded(destination, path + 1, capacity);
        } else {
            FormatInto(destination, capacity, "%s%s%s", kProductKey, path[0] ? "\\" : "", path);
        }
    } else {
        CopyBounded(destination, path, capacity);
    }
    return true;
}

void SetRegistryView(bool use64) {
    if (!use64) {
        RegistryView = 0;
    } else if (IsWow64()) {
        RegistryView = KEY_WOW64_64KEY;
    }
}

LONG RegWriteString(HKEY root, const char* path, const char* name, const char* text) {
    return WriteValue(root, path, name, REG_SZ, text, static_cast<DWORD>(std::strlen(text) + 1));
}

LONG RegWriteDword(HKEY root, const char* path, const char* name, DWORD value) {
    return WriteValue(root, path, name, REG_DWORD, &value, sizeof(value));
}

LONG RegWriteBinary(HKEY root, const char* path, const char* name, const void* data, DWORD size) {
    return WriteValue(root, path, name, REG_BINARY, data, size);
}

bool RegReadString(HKEY root, const char* path, const char* name, char* buffer, const char* defaultText,
                   DWORD size, RegView view) {
    OpenKey key;
    if (size > 0 && RegOpenForRead(root, path, key, view)) {
        DWORD stored = size;
        LONG result = RegQueryValueExA(key.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &stored);
        // A value stored without its terminator gets one when there is room;
        // one that fills the buffer without a terminator does not fit.
        if (result == ERROR_SUCCESS && stored != 0 && (stored < size || buffer[size - 1] == '\0')) {
            if (stored < size) buffer[stored] = '\0';
            return true;
        }
    }
    CopyBounded(buffer, defaultText, size);
    return false;
}

bool RegReadDword(HKEY root, const char* path, const char* name, DWORD* output, DWORD defaultValue, RegView view) {
    OpenKey key;
    if (RegOpenForRead(root, path, key, view)) {
        BYTE bytes[sizeof(*output)] = {};
        DWORD stored = sizeof(bytes);
        // A shorter value is widened with zeros rather than mixed with the
        // bytes the output held before.
        if (RegQueryValueExA(key.Get(), name, nullptr, nullptr, bytes, &stored) == ERROR_SUCCESS && stored != 0) {
            std::memcpy(output, bytes, sizeof(*output));
            return true;
        }
    }
    *output = defaultValue;
    return false;
}

DWORD RegGetDword(HKEY root, const char* path, const char* name, DWORD defaultValue) {
    DWORD value = defaultValue;
    RegReadDword(root, path, name, &value, defaultValue);
    return value;
}

bool RegKeyExists(HKEY root, const char* path, RegView view) {
    char expanded[kKeyPathSize];
    if (!ExpandKeyPath(path, root, expanded, sizeof(expanded))) return false;
    OpenKey key;
    return RegOpenKeyExA(root, expanded, 0, KEY_QUERY_VALUE | ViewAccess(view), key.Receive()) == ERROR_SUCCESS;
}

bool RegKeyIsEmpty(HKEY root, const char* path, RegView view) {
    OpenKey key;
    if (!RegOpenForRead(root, path, key, view)) return false;
    DWORD subkeys = 0;
    DWORD values = 0;
    return RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                            nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           subkeys == 0 && values == 0;
}

// The log lists what was deleted and what could not be; a key or value that
// was not there is no action.
void RegDeleteKeyOnly(HKEY root, const char* path, RegView view) {
    char expanded[kKeyPathSize];
    if (!ExpandKeyPath(path, root, expanded, sizeof(expanded)) || !*expanded) return;
    LONG result = DeleteKey(root, expanded, ViewAccess(view));
    if (RunLogActive && result != ERROR_FILE_NOT_FOUND) LogKeyDeletion(root, path, view, result);
}

void RegDeleteValueOnly(HKEY root, const char* path, const char* name, RegView view) {
    char expanded[kKeyPathSize];
    if (!ExpandKeyPath(path, root, expanded, sizeof(expanded))) return;
    OpenKey key;
    LONG result = RegOpenKeyExA(root, expanded, 0, KEY_WRITE | ViewAccess(view), key.Receive());
    if (result == ERROR_SUCCESS) result = RegDeleteValueA(key.Get(), name);
    if (RunLogActive && result != ERROR_FILE_NOT_FOUND) {
        char text[kKeyTextSize];
        DescribeKey(root, path, ViewAccess(view), text);
        LogAction(result, "registry: deleted value %s [%s]", text, ValueNameText(name));
    }
}

void RegDeleteTree(HKEY root, const char* path, RegView view) {
    char expanded[kKeyPathSize];
    // An empty path names the root itself, and Windows 95/98/Me would
    // delete everything below it.
    if (!ExpandKeyPath(path, root, expanded, sizeof(expanded)) || !*expanded) return;
    DWORD viewAccess = ViewAccess(view);
    bool deleted = false;
    treeDeleteFailure = ERROR_SUCCESS;
    // Windows 95/98/Me delete a whole subtree in one call.
    if (!WinNT() && RegDeleteKeyA(root, expanded) == ERROR_SUCCESS) {
        deleted = true;
    } else {
        do {
            DeletedKeyCount = 0;
            DeleteTreePass(root, expanded, viewAccess);
            deleted = deleted || DeletedKeyCount != 0;
        } while (DeletedKeyCount != 0);
    }
    if (RunLogActive) LogTreeDeletion(root, path, view, deleted);
}

DWORD SettingGetDword(const char* path, const char* name, DWORD defaultValue) {
    return RegGetDword(HKEY_CURRENT_USER, path, name, defaultValue);
}

LONG SettingSetDword(const char* path, const char* name, DWORD value) {
    return RegWriteDword(HKEY_CURRENT_USER, path, name, value);
}

bool SettingGetString(const char* path, const char* name, char* buffer, const char* defaultText, DWORD size) {
    return RegReadString(HKEY_CURRENT_USER, path, name, buffer, defaultText, size);
}

LONG SettingSetString(const char* path, const char* name, const char* text) {
    return RegWriteString(HKEY_CURRENT_USER, path, name, text);
}
