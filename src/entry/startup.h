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

// Opens the run's log when the command line asks for one: in the temp folder
// for /log, in the file /log=PATH names (a relative path from the current
// directory at start), added to by the /warning run of the removal script.
// A file that cannot be made is reported to a console parent; the run goes
// on without it. A run without a road and without /warning writes none.
void StartRunLog(const RunPlan& plan, Road road, const char* commandLine);

// The settings dialog; once it was confirmed, the completion dialog and the
// 64-bit notice (not for a Windows Installer package) and the program group
// in a shell window (not when silent).
void RunSetupRoad();
