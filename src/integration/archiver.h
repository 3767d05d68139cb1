#pragma once

// The archiver itself, beside this program: the target of the archive types,
// the App Paths entry, the uninstall entry's icon and the shortcuts.
inline constexpr char kArchiverName[] = "Kelvon.exe";
// Its compiled help, which the help viewer opens and a shortcut points at.
inline constexpr char kHelpFileName[] = "Kelvon.chm";
