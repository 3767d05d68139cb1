#pragma once

#include "entry/command_line.h"

// How the uninstall road ended.
enum class UninstallOutcome {
    Done,      // also when files wait for the next restart
    Declined,  // the confirmation was answered No, or could not be asked
    Failed,    // nothing or not everything was done: no list, no folder, no removal script
};

// The codes deployment tools already read from Windows Installer.
constexpr int kExitSuccess = 0;
constexpr int kExitDeclined = 1602;
constexpr int kExitFailed = 1603;
constexpr int kExitInvalidCommandLine = 1639;

// The process's exit code. The setup road and every run for a Windows
// Installer package end with 0 whatever happened: the archiver's installer
// and a custom action start those, and anything else would roll back the
// archiver's own installation. `outcome` counts only on the uninstall road.
int ExitCodeOf(Road road, const RunPlan& plan, bool msi, UninstallOutcome outcome);
