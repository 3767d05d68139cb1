#pragma once

#include <ostream>
#include <string>

#include "catalog_file.h"
#include "module_texts.h"

// A catalog for translators: the marker, and for every key a comment that
// shows where the text is used and what it says, then its entry with the
// text itself as the translation. `modules` names the modules in the header;
// lines end in CR LF.
void WriteTemplate(const ModuleTexts& texts, const std::string& modules, unsigned codePage, std::ostream& out);

// The same, keeping every translation of `old` whose key is still in use;
// the entries nothing uses any more follow at the end as comments. The
// part before the marker comes from `old` when it has one.
void WriteUpdate(const ModuleTexts& texts, const std::string& modules, unsigned codePage, const CatalogFile& old,
                 std::ostream& out);
