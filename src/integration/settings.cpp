#include "integration/settings.h"

#include "integration/association_groups.h"
#include "integration/associations.h"
#include "platform/path_text.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "platform/system.h"
#include "resources/resource_ids.h"

namespace {

constexpr int kJarGroup = 11;
constexpr int kIsoGroup = 12;

// Flags 20-25: where each is stored and its default, in check box order.
struct StoredOption {
    const char* key;
    const char* name;
    DWORD defaultValue;
};
constexpr int kOptionCount = 6;
constexpr int kFirstOptionFlag = DesktopLink;
const StoredOption kOptions[kOptionCount] = {
    {kLinksKey, "Desktop", 0},  {kLinksKey, "StartMenu", 0},    {kLinksKey, "Programs", 1},
    {kSetupKey, "ShellExt", 1}, {kSetupKey, "CascadedMenu", 0}, {kSetupKey, "MenuIcons", 1},
};

bool GroupKey(int group, char* key, size_t capacity) {
    char extension[kExtensionSize];
    return GroupKeyExtension(group, extension, sizeof(extension)) &&
           FormatInto(key, capacity, kExtensionSetupKeyFormat, extension);
}

// ".jar" and ".iso" are often another program's own formats: when one is
// owned by another program, its group starts unchecked whatever was stored.
bool OwnedByAnotherProgram(int group) {
    char extension[kExtensionSize];
    if (!GroupKeyExtension(group, extension, sizeof(extension))) return false;
    // One read answers both questions: is there an owner, and is it us.
    char type[kOwnerTypeSize];
    ReadOwnerType(extension, type);
    return type[0] != '\0' && !IsOwnType(type);
}

}  // namespace

void LoadSettings(IntegrationSettings& settings) {
    for (int group = 0; group < kAssociationGroupCount; ++group) {
        char key[kKeyPathSize];
        settings.flag[group] = GroupKey(group, key, sizeof(key)) && SettingGetDword(key, kGroupChoiceValue, 1) != 0;
        if ((group == kJarGroup || group == kIsoGroup) && OwnedByAnotherProgram(group)) settings.flag[group] = 0;
    }
    for (int j = 0; j < kOptionCount; ++j) {
        const StoredOption& option = kOptions[j];
        settings.flag[kFirstOptionFlag + j] = SettingGetDword(option.key, option.name, option.defaultValue) != 0;
    }
}

void SaveSettings(const IntegrationSettings& settings) {
    for (int group = 0; group < kAssociationGroupCount; ++group) {
        char key[kKeyPathSize];
        if (GroupKey(group, key, sizeof(key))) SettingSetDword(key, kGroupChoiceValue, settings.flag[group]);
    }
    for (int j = 0; j < kOptionCount; ++j) {
        SettingSetDword(kOptions[j].key, kOptions[j].name, settings.flag[kFirstOptionFlag + j]);
    }
}

void ReadSettingsFromDialog(HWND dialog, IntegrationSettings& settings) {
    for (int group = 0; group < kAssociationGroupCount; ++group) {
        settings.flag[group] = IsDlgButtonChecked(dialog, IDC_FIRST_GROUP + group) != 0;
    }
    for (int j = 0; j < kOptionCount; ++j) {
        settings.flag[kFirstOptionFlag + j] = IsDlgButtonChecked(dialog, IDC_DESKTOP_LINK + j) != 0;
    }
}

void ShowSettingsInDialog(HWND dialog, const IntegrationSettings& settings) {
    for (int group = 0; group < kAssociationGroupCount; ++group) {
        CheckDlgButton(dialog, IDC_FIRST_GROUP + group, settings.flag[group]);
    }
    for (int j = 0; j < kOptionCount; ++j) {
        CheckDlgButton(dialog, IDC_DESKTOP_LINK + j, settings.flag[kFirstOptionFlag + j]);
    }
    // The menu options mean nothing without the shell extension; their
    // marks stay so that turning it back on restores them.
    EnableDlgItem(dialog, IDC_CASCADED_MENU, settings.flag[ShellIntegration]);
    EnableDlgItem(dialog, IDC_MENU_ICONS, settings.flag[ShellIntegration]);
}

void CheckAllGroups(HWND dialog) {
    for (int group = 0; group < kAssociationGroupCount; ++group) {
        CheckDlgButton(dialog, IDC_FIRST_GROUP + group, BST_CHECKED);
    }
}
