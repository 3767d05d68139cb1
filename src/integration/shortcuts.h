#pragma once

#include "integration/integration_settings.h"

// Saves a shell link to `target` at `linkPath`. False when the link was not
// saved, also when its path does not fit the 260 units the shell takes: a cut
// name would be another file.
bool CreateShellLink(const char* target, const char* linkPath, const char* description);
// The same through the shell link's wide interface, for names that the
// system's code page lacks (the NT family).
bool CreateShellLinkW(const wchar_t* target, const wchar_t* linkPath, const wchar_t* description);

// The per-user and the all-users desktop folder, into a kPathSize buffer.
// False, with an empty buffer, when the system has no such folder.
bool GetDesktopFolder(char* path);
bool GetCommonDesktopFolder(char* path);

// Makes the desktop link, the Start menu link and the program group "Kelvon"
// match the settings' flags: made where set, removed where clear. A group is
// removed, also before it is made anew, by deleting our own links in it by
// name and then the folder if that left it empty. On Vista and later the two
// links are the all-users ones; on the NT family the group is made in both
// programs folders. Every link leads to a file beside the program, named on
// the NT family as the file system names it. groupFolder, a kPathSize buffer
// or null, receives the group folder made last (the all-users one where
// there is one), on the NT family as the file system names it. A special
// folder the system cannot name is passed over.
void CreateShortcuts(const IntegrationSettings& settings, wchar_t* groupFolder);
