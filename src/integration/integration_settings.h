#pragma once

// What the user wants of the desktop integration: one byte per flag, 0 or 1.
// Flags 0-13 are the association groups (AssociationGroups); 14-19 are not
// used.
constexpr int kSettingCount = 26;

enum SettingFlag {
    DesktopLink = 20,
    StartMenuLink = 21,
    ProgramGroupLinks = 22,
    // The Explorer shell extension, and the New-menu entries with it.
    ShellIntegration = 23,
    CascadedMenu = 24,
    MenuIcons = 25,
};

struct IntegrationSettings {
    unsigned char flag[kSettingCount];
};
