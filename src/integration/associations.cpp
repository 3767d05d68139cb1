#include "integration/associations.h"

#include <windows.h>

#include "integration/association_groups.h"
#include "integration/created_keys.h"
#include "integration/shell_new.h"
#include "platform/path_text.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "platform/run_log.h"
#include "platform/system.h"

namespace {

constexpr size_t kTypeSize = 512;
constexpr size_t kNullFileSize = 10;
constexpr size_t kVolumeSize = 8;

// Volume extensions a setup takes (fewer on the NT family); a release goes
// over all of them.
constexpr int kVolumeCountNt = 30;
constexpr int kVolumeCount = 100;

const char kContentTypeValue[] = "Content Type";
const char kNullFileValue[] = "NullFile";
const char kVolumeFormat[] = ".v%02d";
// Recorded instead of a file name when the previous entry made an empty file.
const char kNullFileMark[] = "*";

// False when the backup could not be written: the extension is then not
// taken, since its owner could never be given it back.
bool RecordPreviousOwner(const char* extension, const char* shellNewKey, const char* backupKey) {
    char type[kTypeSize];
    char content[kTypeSize];
    char fileName[kPathSize];
    char nullFile[kNullFileSize];
    RegReadString(HKEY_CLASSES_ROOT, extension, "", type, "", sizeof(type));
    RegReadString(HKEY_CLASSES_ROOT, extension, kContentTypeValue, content, "", sizeof(content));
    RegReadString(HKEY_CLASSES_ROOT, shellNewKey, kShellNewFileNameValue, fileName, "", sizeof(fileName));
    bool hasNullFile = RegReadString(HKEY_CLASSES_ROOT, shellNewKey, kNullFileValue, nullFile, "", sizeof(nullFile));

    DWORD existed = RegKeyExists(HKEY_CLASSES_ROOT, extension) ? 1 : 0;
    if (SettingSetDword(backupKey, kBackupExistValue, existed) != ERROR_SUCCESS) return false;
    SettingSetString(backupKey, kBackupTypeValue, type);
    SettingSetString(backupKey, kBackupContentValue, content);
    SettingSetString(backupKey, kBackupShellNewValue, fileName[0] == '\0' && hasNullFile ? kNullFileMark : fileName);
    return true;
}

// Both key paths whole and usable by the registry layer, or the extension is
// left alone: with one of them refused, the backup and the extension would no
// longer match.
bool FormKeyPaths(const char* extension, char* shellNewKey, char* backupKey) {
    char expanded[kKeyPathSize];
    return FormatInto(shellNewKey, kKeyPathSize, kShellNewKeyFormat, extension) &&
           FormatInto(backupKey, kKeyPathSize, kExtensionSetupKeyFormat, extension) &&
           ExpandKeyPath(shellNewKey, HKEY_CLASSES_ROOT, expanded, sizeof(expanded)) &&
           ExpandKeyPath(backupKey, HKEY_CURRENT_USER, expanded, sizeof(expanded));
}

// An extension's owner before and after, as the log shows it: a type in
// quotes, or none. One that stays with its owner is named once.
void LogOwners(const char* extension, const char* before, const char* after, const char* what) {
    char owners[2][kTypeSize + 2];
    const char* types[2] = {before, after};
    for (int i = 0; i < 2; ++i) {
        FormatInto(owners[i], sizeof(owners[i]), "%s%s%s", types[i][0] ? "\"" : "", types[i][0] ? types[i] : "none",
                   types[i][0] ? "\"" : "");
    }
    if (before == after) {
        LogLine("association %s: %s (%s)", extension, owners[0], what);
    } else {
        LogLine("association %s: %s -> %s (%s)", extension, owners[0], owners[1], what);
    }
}

void TakeVolumeExtensions() {
    int count = WinNT() ? kVolumeCountNt : kVolumeCount;
    for (int i = 0; i < count; ++i) {
        char volume[kVolumeSize];
        FormatInto(volume, sizeof(volume), kVolumeFormat, i);
        RegWriteString(HKEY_CLASSES_ROOT, volume, "", kArchiveType);
        RegDeleteValueOnly(HKEY_CLASSES_ROOT, volume, kContentTypeValue);
    }
}

// All hundred, whatever the platform took: an earlier setup on another
// Windows may have taken more than this one would.
void ReleaseVolumeExtensions(bool existed, const char* type, const char* content) {
    for (int i = 0; i < kVolumeCount; ++i) {
        char volume[kVolumeSize];
        FormatInto(volume, sizeof(volume), kVolumeFormat, i);
        if (existed && type[0] != '\0') {
            RegWriteString(HKEY_CLASSES_ROOT, volume, "", type);
            if (content[0] != '\0') RegWriteString(HKEY_CLASSES_ROOT, volume, kContentTypeValue, content);
        } else {
            RegDeleteKeyOnly(HKEY_CLASSES_ROOT, volume);
        }
    }
}

void TakeExtension(const char* extension, const char* shellNewKey, const char* backupKey, bool shellIntegration,
                   bool native, bool zip) {
    char owner[kOwnerTypeSize];
    ReadOwnerType(extension, owner);
    bool own = IsOwnType(owner);
    if (!own && !RecordPreviousOwner(extension, shellNewKey, backupKey)) {
        if (RunLogActive) {
            LogAction(kLogFailed, "association %s: not taken, its owner could not be recorded", extension);
        }
        return;
    }
    const char* type = zip ? kZipArchiveType : kArchiveType;
    if (RunLogActive) LogOwners(extension, owner, type, own ? "already ours, first owner kept on record" : "taken");
    RegWriteString(HKEY_CLASSES_ROOT, extension, "", type);
    RegDeleteValueOnly(HKEY_CLASSES_ROOT, extension, kContentTypeValue);
    if (native) TakeVolumeExtensions();
    // Without shell integration an existing New-menu entry stays as it is.
    if (!shellIntegration || !(native || zip)) return;
    // Whether the entry's key is new is known only before it is replaced.
    NewKeys created(HKEY_CLASSES_ROOT, shellNewKey, OwnView);
    RegDeleteKeyOnly(HKEY_CLASSES_ROOT, shellNewKey);
    WriteShellNewEntry(shellNewKey, native);
    created.Note();
}

void ReleaseExtension(const char* extension, const char* shellNewKey, const char* backupKey, bool native) {
    // Another program may have taken the extension since; it keeps it.
    char owner[kOwnerTypeSize];
    ReadOwnerType(extension, owner);
    if (!IsOwnType(owner)) {
        if (RunLogActive) LogOwners(extension, owner, owner, "not ours, left alone");
        return;
    }
    bool existed = SettingGetDword(backupKey, kBackupExistValue, 1) != 0;
    char type[kTypeSize];
    SettingGetString(backupKey, kBackupTypeValue, type, "", sizeof(type));
    if (IsOwnType(type)) type[0] = '\0';
    char content[kTypeSize];
    SettingGetString(backupKey, kBackupContentValue, content, "", sizeof(content));
    if (RunLogActive) {
        LogOwners(extension, owner, existed ? type : "", existed ? "given back" : "given back, key removed");
    }

    if (existed) {
        RegWriteString(HKEY_CLASSES_ROOT, extension, "", type);
        if (content[0] != '\0') {
            RegWriteString(HKEY_CLASSES_ROOT, extension, kContentTypeValue, content);
        } else {
            RegDeleteValueOnly(HKEY_CLASSES_ROOT, extension, kContentTypeValue);
        }
        char shellNew[kPathSize];
        SettingGetString(backupKey, kBackupShellNewValue, shellNew, "", sizeof(shellNew));
        RegDeleteValueOnly(HKEY_CLASSES_ROOT, shellNewKey, kShellNewFileNameValue);
        if (shellNew[0] == kNullFileMark[0]) {
            RegWriteString(HKEY_CLASSES_ROOT, shellNewKey, kNullFileValue, "");
        } else if (shellNew[0] != '\0') {
            RegWriteString(HKEY_CLASSES_ROOT, shellNewKey, kShellNewFileNameValue, shellNew);
        }
        RemoveCreatedKeys(HKEY_CLASSES_ROOT, shellNewKey);
    } else {
        RegDeleteKeyOnly(HKEY_CLASSES_ROOT, shellNewKey);
        RegWriteString(HKEY_CLASSES_ROOT, extension, "", "");
        // On the NT family a key that something else gave subkeys stays.
        RegDeleteKeyOnly(HKEY_CLASSES_ROOT, extension);
    }
    if (native) ReleaseVolumeExtensions(existed, type, content);
}

}  // namespace

bool IsOwnType(const char* type) {
    return EqualsAsciiNoCase(type, kArchiveType) || EqualsAsciiNoCase(type, kZipArchiveType);
}

void ReadOwnerType(const char* extension, char (&type)[kOwnerTypeSize]) {
    RegReadString(HKEY_CLASSES_ROOT, extension, "", type, "", sizeof(type));
}

bool IsOwnAssociation(const char* extension) {
    char type[kOwnerTypeSize];
    ReadOwnerType(extension, type);
    return IsOwnType(type);
}

void SetExtAssociation(const char* extension, bool associate, bool shellIntegration, bool native, bool zip) {
    char shellNewKey[kKeyPathSize];
    char backupKey[kKeyPathSize];
    if (!FormKeyPaths(extension, shellNewKey, backupKey)) return;
    if (associate) {
        TakeExtension(extension, shellNewKey, backupKey, shellIntegration, native, zip);
    } else {
        ReleaseExtension(extension, shellNewKey, backupKey, native);
    }
}

void ApplyAssociations(const IntegrationSettings& settings) {
    ForEachGroupExtension([&settings](int group, const char* extension) {
        SetExtAssociation(extension, settings.flag[group] != 0, settings.flag[ShellIntegration] != 0,
                          group == kNativeGroup, group == kZipGroup);
    });
}
