#pragma once

#include "entry/command_line.h"

// Sets Silent when the self-extractor's command line (variable "sfxcmd")
// holds the silent switch.
void ScanSfxCommand();

// The notice that the uninstallation is complete and the program file must
// be deleted by hand.
void ShowDeleteManuallyNotice();

void PerformImmediateActions(const RunPlan& plan);

// The settings dialog; once it was confirmed, the completion dialog and the
// 64-bit notice (not for a Windows Installer package) and the program group
// in a shell window (not when silent).
void RunSetupRoad();
