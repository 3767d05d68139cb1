#include "integration/created_keys.h"

#include "platform/path_text.h"
#include "platform/registry_layout.h"
#include "platform/system.h"

namespace {

// A note is a value named by the root, the view and the key path.
constexpr size_t kNoteNameSize = kKeyPathSize + 16;

// The view a key path lives in: only WOW64 has a second one, so elsewhere a
// key written "in the 64-bit view" and the same key deleted in the own view
// share one note.
bool InOtherView(RegView view) { return view == View64 && IsWow64(); }

bool NoteName(HKEY root, RegView view, const char* path, char (&name)[kNoteNameSize]) {
    const char* rootName = root == HKEY_CLASSES_ROOT ? "HKCR" : root == HKEY_LOCAL_MACHINE ? "HKLM" : nullptr;
    return rootName && FormatInto(name, sizeof(name), "%s%s\\%s", rootName, InOtherView(view) ? "64" : "", path);
}

// Calls visit(level) with `path` cut after each of its components in turn,
// from the top, until visit returns false. The path is whole again afterwards.
template <typename Visit>
void ForEachLevel(char* path, Visit visit) {
    for (char* p = path;; p = CharNextDbcs(p)) {
        if (*p != '\\' && *p != '\0') continue;
        char end = *p;
        *p = '\0';
        bool more = visit(static_cast<const char*>(path));
        *p = end;
        if (!more || end == '\0') return;
    }
}

// The backslash before the path's last component, or null for a single one.
char* LastBackslash(char* path) {
    char* last = nullptr;
    for (char* p = path; *p; p = CharNextDbcs(p)) {
        if (*p == '\\') last = p;
    }
    return last;
}

}  // namespace

NewKeys::NewKeys(HKEY root, const char* path, RegView view) : root_(root), view_(view), existing_(-1) {
    if (!FormatInto(path_, sizeof(path_), "%s", path)) return;
    existing_ = 0;
    ForEachLevel(path_, [this](const char* level) {
        if (!RegKeyExists(root_, level, view_)) return false;
        ++existing_;
        return true;
    });
}

void NewKeys::Note() {
    if (existing_ < 0) return;
    int level = 0;
    ForEachLevel(path_, [this, &level](const char* key) {
        char name[kNoteNameSize];
        if (level++ >= existing_ && NoteName(root_, view_, key, name)) SettingSetDword(kCreatedKeysKey, name, 1);
        return true;
    });
}

LONG WriteStringNotingKeys(HKEY root, const char* path, const char* name, const char* text) {
    NewKeys created(root, path, RegistryView ? View64 : OwnView);
    LONG result = RegWriteString(root, path, name, text);
    if (result == ERROR_SUCCESS) created.Note();
    return result;
}

void RemoveCreatedKeys(HKEY root, const char* path, RegView view) {
    char key[kKeyPathSize];
    if (!FormatInto(key, sizeof(key), "%s", path)) return;
    for (;;) {
        char name[kNoteNameSize];
        if (!NoteName(root, view, key, name)) return;
        bool noted = SettingGetDword(kCreatedKeysKey, name, 0) != 0;
        if (RegKeyExists(root, key, view)) {
            // A key nobody noted was there before setup, and so were its
            // parents; one that is not empty holds another program's entry.
            if (!noted || !RegKeyIsEmpty(root, key, view)) return;
            RegDeleteKeyOnly(root, key, view);
            if (RegKeyExists(root, key, view)) return;
        }
        if (noted) RegDeleteValueOnly(HKEY_CURRENT_USER, kCreatedKeysKey, name);
        char* parentEnd = LastBackslash(key);
        if (!parentEnd) return;
        *parentEnd = '\0';
    }
}
