#pragma once

#include "integration/integration_settings.h"

// The archiver's Explorer extension, "vokext.dll" and on 64-bit Windows also
// "vokext64.dll" beside the program: its class registration (in the 64-bit
// view with use64View), its handlers on the archive types, programs, files,
// folders and drives, and its place in the approved list. enable false
// removes all of that again.
void RegisterShellExtension(const char* libraryName, const char* handlerName, const char* classId, bool enable,
                            bool use64View);

// The libraries of this Windows, registered or removed by the settings'
// ShellIntegration flag; then, on Vista and later, the Default Programs
// capabilities (every extension of every group), registered or, with
// remove, removed.
void UpdateShellIntegration(bool remove, const IntegrationSettings& settings);
