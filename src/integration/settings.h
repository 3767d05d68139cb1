#pragma once

#include <windows.h>

#include "integration/integration_settings.h"

// The stored choices under "Software\Kelvon", each with its default. Flags
// 14-19 are left as they were.
void LoadSettings(IntegrationSettings& settings);
void SaveSettings(const IntegrationSettings& settings);

// The settings dialog's check boxes: 5101-5114 for the groups, 5115-5120 for
// flags 20-25.
void ReadSettingsFromDialog(HWND dialog, IntegrationSettings& settings);
void ShowSettingsInDialog(HWND dialog, const IntegrationSettings& settings);
void CheckAllGroups(HWND dialog);
