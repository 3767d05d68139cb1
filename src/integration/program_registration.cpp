#include "integration/program_registration.h"

#include <windows.h>
#include <shlobj.h>

#include "integration/archiver.h"
#include "integration/associations.h"
#include "integration/created_keys.h"
#include "integration/prog_ids.h"
#include "integration/shell_extension.h"
#include "integration/shortcuts.h"
#include "localization/messages.h"
#include "platform/path_text.h"
#include "platform/program_path.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "platform/system.h"
#include "resources/resource_ids.h"

namespace {

const char kAppPathKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Kelvon.exe";
const char kAppPathFolderValue[] = "Path";

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvon archiver";
const char kDisplayNameValue[] = "DisplayName";
const char kUninstallStringValue[] = "UninstallString";
const char kDisplayIconValue[] = "DisplayIcon";
const char kNoModifyValue[] = "NoModify";
const char kNoRepairValue[] = "NoRepair";

// Deleted with everything below them at removal, under HKEY_CLASSES_ROOT.
const char* const kOwnClassKeys[] = {kArchiveType, kZipArchiveType, kRecoveryVolumeType, kRecoveryVolumeExtension};

// Both values of the App Paths key, in the view key creations go to now.
// The result is the first write's.
LONG WriteAppPath(const char* archiver, const char* folder) {
    LONG result = WriteStringNotingKeys(HKEY_LOCAL_MACHINE, kAppPathKey, "", archiver);
    if (result == ERROR_ACCESS_DENIED) return result;
    RegWriteString(HKEY_LOCAL_MACHINE, kAppPathKey, kAppPathFolderValue, folder);
    return result;
}

// A machine-wide key of the program's own, and the parents setup made for it.
void RemoveMachineKey(const char* path, RegView view) {
    RegDeleteKeyOnly(HKEY_LOCAL_MACHINE, path, view);
    RemoveCreatedKeys(HKEY_LOCAL_MACHINE, path, view);
}

// The App Paths key of the 64-bit view may belong to a 64-bit edition of the
// archiver installed beside this one: it is ours only while it names our
// archiver. Where the system shares one key between both views, that holds
// for our own view as well; on a 32-bit Windows the key can only be ours.
bool AppPathIsOwn(RegView view) {
    char archiver[kPathSize];
    char registered[kPathSize];
    if (view == OwnView && !IsWow64()) return true;
    return PathBesideProgram(kArchiverName, archiver, sizeof(archiver)) &&
           RegReadString(HKEY_LOCAL_MACHINE, kAppPathKey, "", registered, "", sizeof(registered), view) &&
           CompareNoCase(registered, archiver) == 0;
}

}  // namespace

bool RegisterAppPath() {
    char archiver[kPathSize];
    char folder[kPathSize];
    // Without a whole path there is nothing true to register; the archive
    // types test the rights again.
    if (!PathBesideProgram(kArchiverName, archiver, sizeof(archiver))) return true;
    CopyBounded(folder, archiver, sizeof(folder));
    RemoveNameFromPath(folder);
    if (WriteAppPath(archiver, folder) == ERROR_ACCESS_DENIED) return false;
    // 64-bit programs look in the 64-bit view; elsewhere this writes the
    // same values again.
    RegistryViewScope view(true);
    WriteAppPath(archiver, folder);
    return true;
}

void RegisterUninstallEntry() {
    WriteStringNotingKeys(HKEY_LOCAL_MACHINE, kUninstallKey, kDisplayNameValue, GetMsg(IDS_PRODUCT_NAME));
    char path[kPathSize];
    if (GetProgramPath(path, sizeof(path))) RegWriteString(HKEY_LOCAL_MACHINE, kUninstallKey, kUninstallStringValue, path);
    if (PathBesideProgram(kArchiverName, path, sizeof(path))) {
        RegWriteString(HKEY_LOCAL_MACHINE, kUninstallKey, kDisplayIconValue, path);
    }
    RegWriteDword(HKEY_LOCAL_MACHINE, kUninstallKey, kNoModifyValue, 1);
    RegWriteDword(HKEY_LOCAL_MACHINE, kUninstallKey, kNoRepairValue, 1);
}

bool ApplyIntegration(const IntegrationSettings& settings, wchar_t* groupFolder) {
    if (!RegisterAppPath()) return false;
    UpdateShellIntegration(false, settings);
    ApplyAssociations(settings);
    if (!RegisterProgIds()) return false;
    CreateShortcuts(settings, groupFolder);
    return true;
}

void RemoveIntegration() {
    const IntegrationSettings none = {};
    // First, while the backups are still there to say who owned what.
    ApplyAssociations(none);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSH, nullptr, nullptr);
    UpdateShellIntegration(true, none);
    CreateShortcuts(none, nullptr);
    for (const char* key : kOwnClassKeys) RegDeleteTree(HKEY_CLASSES_ROOT, key);
    // The machine-wide entries go before the settings, which hold the notes
    // of the parent keys setup created for them. The App Paths copy in the
    // 64-bit view goes too, when it is ours: it would name a deleted program.
    bool ownAppPath = AppPathIsOwn(OwnView);
    bool ownAppPath64 = AppPathIsOwn(View64);
    RemoveMachineKey(kUninstallKey, OwnView);
    if (ownAppPath) RemoveMachineKey(kAppPathKey, OwnView);
    if (ownAppPath64) RemoveMachineKey(kAppPathKey, View64);
    RegDeleteTree(HKEY_CURRENT_USER, "");
}
