#pragma once

#include "entry/command_line.h"

// Sets Silent when the self-extractor's command line (variable "sfxcmd")
// holds the silent switch.
void ScanSfxCommand();

// The notice that the uninstallation is complete and the program file, under
// its name as it now is, must be deleted by hand.
void ShowDeleteManuallyNotice();

// "/wait" pauses 2 seconds; "/wait=N" waits until process N has ended (at
// most a minute) and a moment longer; "/wait=N:E" sets the inherited event E
// once it waits.
void PerformImmediateActions(const RunPlan& plan);

// The settings dialog; once it was confirmed, the completion dialog and the
// 64-bit notice (not for a Windows Installer package) and the program group
// in a shell window (not when silent).
void RunSetupRoad();
