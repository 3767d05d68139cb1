#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "catalog_file.h"
#include "module_texts.h"

// What a catalog holds for one text besides the tool's own comment.
struct EntryText {
    std::string tail;                   // the entry after its key: ="translation" as written
    std::vector<std::string> comments;  // the translator's own lines
    bool needsReview = false;
    std::string previous;               // the source text it was translated from, escaped
};

// The part before the marker of a catalog the tool writes.
std::string CatalogHeader(const std::string& modules, unsigned codePage);

// `header`, the marker, and for every key a comment that shows where the
// text is used and what it says, then its entry: what `find` gives, or the
// template's entry when it gives null. Lines end in CR LF.
void WriteCatalog(const ModuleTexts& texts, const std::string& header,
                  const std::function<const EntryText*(const KeyedText&)>& find, std::ostream& out);

// A catalog for translators: every entry offers the text itself as its
// translation. `modules` names the modules in the header.
void WriteTemplate(const ModuleTexts& texts, const std::string& modules, unsigned codePage, std::ostream& out);

// The same, keeping every translation of `old` whose key is still in use. A
// text that changed keeps the translation of the entry that had its use
// (message number, dialog and control), marked for review; the entries
// nothing uses any more follow at the end as comments. The part before the
// marker comes from `old` when it has one. `legacy` is given for an old
// catalog without a code-page line: its texts keyed as that catalog is. Such
// a catalog is re-keyed by each entry's use, and its part before the marker
// gets the code-page line; an entry that served several texts (they shared
// a key) is marked for review.
void WriteUpdate(const ModuleTexts& texts, const std::string& modules, unsigned codePage, const CatalogFile& old,
                 const ModuleTexts* legacy, std::ostream& out);
