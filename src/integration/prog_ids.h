#pragma once

// Registers the archive types "Kelvon", "Kelvon.ZIP" and "Kelvon.REV" with
// their description, open command and icon, and the extension ".rev", then
// tells the shell. False when the first write was refused with
// ERROR_ACCESS_DENIED (no administrator rights): nothing was written then.
bool RegisterProgIds();
