#pragma once

#include <cstddef>

#include "integration/integration_settings.h"

// Whether a type name is "Kelvon" or "Kelvon.ZIP", ASCII case ignored.
bool IsOwnType(const char* type);

// The extension's type (its default value under HKEY_CLASSES_ROOT), empty
// when there is none; a type too long for this buffer reads as empty too.
constexpr std::size_t kOwnerTypeSize = 80;
void ReadOwnerType(const char* extension, char (&type)[kOwnerTypeSize]);

// Whether the extension (with its dot) belongs to the archiver: its type
// under HKEY_CLASSES_ROOT is "Kelvon" or "Kelvon.ZIP".
bool IsOwnAssociation(const char* extension);

// Takes the extension for the archiver, recording its previous owner under
// "Setup\<extension>" the first time, or gives it back to that owner.
// `native` and `zip` name the group the extension belongs to.
void SetExtAssociation(const char* extension, bool associate, bool shellIntegration, bool native, bool zip);

// Takes or gives back every extension of every group by its flag.
void ApplyAssociations(const IntegrationSettings& settings);
