#pragma once

#include "integration/integration_settings.h"

// The archive types that the archiver's extensions point at.
extern const char kArchiveType[];
extern const char kZipArchiveType[];

// Whether a type name is "Kelvon" or "Kelvon.ZIP", ASCII case ignored.
bool IsOwnType(const char* type);

// Whether the extension (with its dot) belongs to the archiver: its type
// under HKEY_CLASSES_ROOT is "Kelvon" or "Kelvon.ZIP".
bool IsOwnAssociation(const char* extension);

// Takes the extension for the archiver, recording its previous owner under
// "Setup\<extension>" the first time, or gives it back to that owner.
// `native` and `zip` name the group the extension belongs to.
void SetExtAssociation(const char* extension, bool associate, bool shellIntegration, bool native, bool zip);

// Takes or gives back every extension of every group by its flag.
void ApplyAssociations(const IntegrationSettings& settings);
