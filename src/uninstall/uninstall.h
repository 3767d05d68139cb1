#pragma once

#include "entry/exit_code.h"

// The uninstall road: after the user's confirmation (not asked when silent),
// removes the desktop integration, deletes the files and folders that
// "Uninstall.lst" names (files in use at the next restart) and hands over to
// the removal script, which deletes the program file and its folder.
UninstallOutcome Uninstall();
