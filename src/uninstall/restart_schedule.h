#pragma once

// Arranges for the file to be deleted at the next restart: through the
// system's pending operations on the NT family, through "wininit.ini" on
// Windows 95, 98 and Me. False when that could not be recorded.
bool ScheduleDeletionAtRestart(const char* path);
