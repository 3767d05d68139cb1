#pragma once

#include <ostream>
#include <string>

#include "catalog_file.h"
#include "code_page.h"
#include "module_texts.h"

// PO files, as every translation platform reads and writes them, read and
// written by the gettext project's own library. One message per key of the
// catalog: its uses as msgctxt, its source text as msgid (a size or the
// direction: the template's value), the translation as msgstr (empty while
// untranslated), the review mark as the fuzzy flag with the old source text
// as the previous msgid, the translator's "#" lines as translator comments.
// Texts are UTF-8, converted exactly from and to the catalog's code page.

// The code page a PO file's header names (X-Code-Page), 0 when none; false,
// with `error`, when the file cannot be read as PO.
bool ReadPoCodePage(const std::string& path, unsigned& codePage, std::string& error);

// Writes `catalog` (read from `name`) as a PO file to `out`. False, with the
// reason on `err`, when a text does not convert.
bool ExportPo(const ModuleTexts& texts, const CatalogFile& catalog, const std::string& name,
              const CodePage& codePage, std::ostream& out, std::ostream& err);

// Writes the catalog that the PO file at `path` (holding `bytes`) describes
// to `out`, with `header` before its marker. False, with the reason on `err`,
// when the file is no PO file or a text does not convert.
bool ImportPo(const ModuleTexts& texts, const std::string& path, const std::string& bytes, const std::string& header,
              const CodePage& codePage, std::ostream& out, std::ostream& err);
