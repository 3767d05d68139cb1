#pragma once

#include "integration/integration_settings.h"

// The App Paths entry of the archiver, in both views on 64-bit Windows.
// False when the first write was refused with ERROR_ACCESS_DENIED: without
// administrator rights nothing is written.
bool RegisterAppPath();

// The archiver's entry in the list of installed programs; starting this
// program from there takes the uninstall road.
void RegisterUninstallEntry();

// Setup's integration after the settings dialog: App Paths, shell extension
// and capabilities, associations, archive types, shortcuts. groupFolder, a
// kPathSize buffer or null, receives the program group folder. False when it
// stopped early for lack of administrator rights.
bool ApplyIntegration(const IntegrationSettings& settings, wchar_t* groupFolder);

// Undoes all of it for the uninstall: other programs get their extensions
// back (from the backups, before these go with the settings), and every entry,
// shortcut and setting of the archiver goes.
void RemoveIntegration();
