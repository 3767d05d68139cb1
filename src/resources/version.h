#pragma once

// The program's version: the version resource and the log's header.
#define KELVON_VERSION_NUMBERS 1,0,0,0
#define KELVON_VERSION_TEXT    "1.0.0.0"
