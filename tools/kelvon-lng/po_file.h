#pragma once

#include <ostream>
#include <string>

#include "catalog_file.h"
#include "code_page.h"
#include "module_texts.h"
#include "po_reader.h"

// PO files, as every translation platform reads and writes them: written by
// the gettext project's own library, read in one pass by po_reader. One
// message per key of the
// catalog: its uses as msgctxt, its source text as msgid (a size or the
// direction: the template's value), the translation as msgstr (empty while
// untranslated), the review mark as the fuzzy flag with the old source text
// as the previous msgid, the translator's "#" lines as translator comments.
// Texts are UTF-8, converted exactly from and to the catalog's code page.

// Where the texts come from, for the "#:" references: the program's name
// (messages) and the name of the module the dialogs come from.
struct PoModules {
    std::string program;
    std::string dialogs;
};

// The code page a PO file's header names (X-Code-Page). False, with the
// reason and line on `err`, when the file is no PO file, is not UTF-8 or
// names no code page.
bool ReadPoCodePage(const std::string& path, const PoReading& po, unsigned& codePage, std::ostream& err);

// Writes `catalog` (read from `name`) as a PO file to `out`; without a
// catalog, a template (POT) with every msgstr empty. `language` goes into
// the header. False, with the reason on `err`, when a text does not convert.
bool ExportPo(const ModuleTexts& texts, const CatalogFile* catalog, const std::string& name,
              const PoModules& modules, const std::string& language, const CodePage& codePage, std::ostream& out,
              std::ostream& err);

// Writes the catalog that the PO file at `path` describes to `out`, with
// `header` before its marker. Refuses, naming the line, what it would
// otherwise drop or guess: a message without msgctxt, a msgctxt twice,
// plural forms, a text without an exact form in the code page.
bool ImportPo(const ModuleTexts& texts, const std::string& path, const PoReading& po, const std::string& header,
              const CodePage& codePage, std::ostream& out, std::ostream& err);
