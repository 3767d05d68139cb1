#pragma once

enum class Scheduling { Scheduled, Failed, Unsafe };

// Windows 95, 98 and Me delete the file at the next restart through a line
// in "wininit.ini". No links there to fear.
Scheduling ScheduleInWininit(const char* path);

// The NT family deletes the file at the next restart through the system's
// pending operations, as SYSTEM and by path, after whatever happened to the
// path's folders meanwhile. So only where no unelevated process can change a
// folder on the path: Unsafe, and nothing recorded, where Users,
// Authenticated Users, Everyone or INTERACTIVE may write to one, own one, or
// its security cannot be read.
Scheduling ScheduleDeletionAtRestart(const wchar_t* path);
