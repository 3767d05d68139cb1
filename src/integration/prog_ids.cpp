#include "integration/prog_ids.h"

#include <windows.h>
#include <shlobj.h>

#include "integration/archiver.h"
#include "localization/messages.h"
#include "platform/path_text.h"
#include "platform/program_path.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "resources/resource_ids.h"

namespace {

const char kOpenCommandKeyFormat[] = "%s\\shell\\open\\command";
const char kDefaultIconKeyFormat[] = "%s\\DefaultIcon";
const char kOpenCommandFormat[] = "\"%s\" \"%%1\"";
const char kIconFormat[] = "%s,%d";

// The texts every archive type shares; the archiver's path goes into each.
struct ArchiverTexts {
    char command[kPathSize];
    char icon[2][kPathSize];
};

// False when the program's folder is too long for any of them.
bool FormArchiverTexts(ArchiverTexts& texts) {
    char archiver[kPathSize];
    return PathBesideProgram(kArchiverName, archiver, sizeof(archiver)) &&
           FormatInto(texts.command, sizeof(texts.command), kOpenCommandFormat, archiver) &&
           FormatInto(texts.icon[0], sizeof(texts.icon[0]), kIconFormat, archiver, 0) &&
           FormatInto(texts.icon[1], sizeof(texts.icon[1]), kIconFormat, archiver, 1);
}

// Open command and icon of a type whose default value is written. An icon
// that someone already chose stays. Without texts (the program's folder path
// was too long) nothing cut is written: the type keeps only its description.
void WriteTypeCommands(const char* type, const ArchiverTexts* texts, int iconIndex) {
    if (!texts) return;
    char key[kKeyPathSize];
    if (FormatInto(key, sizeof(key), kOpenCommandKeyFormat, type)) {
        RegWriteString(HKEY_CLASSES_ROOT, key, "", texts->command);
    }
    if (FormatInto(key, sizeof(key), kDefaultIconKeyFormat, type)) {
        char icon[kPathSize];
        RegReadString(HKEY_CLASSES_ROOT, key, "", icon, "", sizeof(icon));
        if (icon[0] == '\0') RegWriteString(HKEY_CLASSES_ROOT, key, "", texts->icon[iconIndex]);
    }
}

}  // namespace

bool RegisterProgIds() {
    ArchiverTexts texts;
    const ArchiverTexts* usable = FormArchiverTexts(texts) ? &texts : nullptr;

    // The first machine-wide write tells whether we have the rights at all.
    if (RegWriteString(HKEY_CLASSES_ROOT, kArchiveType, "", GetMsg(IDS_ARCHIVE_TYPE)) == ERROR_ACCESS_DENIED) {
        return false;
    }
    WriteTypeCommands(kArchiveType, usable, 0);

    RegWriteString(HKEY_CLASSES_ROOT, kZipArchiveType, "", GetMsg(IDS_ZIP_ARCHIVE_TYPE));
    WriteTypeCommands(kZipArchiveType, usable, 0);

    RegWriteString(HKEY_CLASSES_ROOT, kRecoveryVolumeExtension, "", kRecoveryVolumeType);
    RegWriteString(HKEY_CLASSES_ROOT, kRecoveryVolumeType, "", GetMsg(IDS_RECOVERY_VOLUME_TYPE));
    WriteTypeCommands(kRecoveryVolumeType, usable, 1);

    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return true;
}
