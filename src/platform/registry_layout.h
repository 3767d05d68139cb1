#pragma once

// The program's own names in the registry, each spelled here once for every
// concern that reads or writes them.

// Under HKEY_CURRENT_USER the settings and backups; under HKEY_LOCAL_MACHINE
// the Default Programs capabilities. The registry layer makes current-user
// paths relative to it, so the names below leave it out.
inline constexpr char kProductKey[] = "Software\\Kelvon";

inline constexpr char kSetupKey[] = "Setup";
inline constexpr char kLinksKey[] = "Setup\\Links";
// The items of the shell extension's context menu.
inline constexpr char kMenuItemsKey[] = "Setup\\MenuItems";
// The key of one extension: the choice of the group it starts (only a group's
// first extension has one) and the backup of its previous owner.
inline constexpr char kExtensionSetupKeyFormat[] = "Setup\\%s";
inline constexpr char kGroupChoiceValue[] = "Set";
inline constexpr char kBackupExistValue[] = "Exist";
inline constexpr char kBackupTypeValue[] = "Type";
inline constexpr char kBackupContentValue[] = "Content";
inline constexpr char kBackupShellNewValue[] = "ShellNew";
// The keys outside the product key that setup had to create (created_keys.h).
inline constexpr char kCreatedKeysKey[] = "Setup\\CreatedKeys";

// The archive types under HKEY_CLASSES_ROOT, and the extension that is ours
// alone.
inline constexpr char kArchiveType[] = "Kelvon";
inline constexpr char kZipArchiveType[] = "Kelvon.ZIP";
inline constexpr char kRecoveryVolumeType[] = "Kelvon.REV";
inline constexpr char kRecoveryVolumeExtension[] = ".rev";

// An extension's New-menu entry.
inline constexpr char kShellNewKeyFormat[] = "%s\\ShellNew";
inline constexpr char kShellNewFileNameValue[] = "FileName";
