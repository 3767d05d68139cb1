#pragma once

#include <windows.h>

#include "localization/resource_text.h"

// The source texts of a module as its resources hold them, in UTF-16,
// whatever the system's code page makes of them: a catalog keyed over UTF-16
// finds its entries by these. The texts stay in the mapped module.

// Message `id` of `module`'s string table; no bytes when it has none.
ResourceText MessageSource(HMODULE module, unsigned id);

// The template of dialog `name` in `module`, read item by item.
DialogTemplateReader DialogSource(HMODULE module, const char* name);
