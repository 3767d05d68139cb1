#pragma once

#include <string>
#include <vector>

#include "catalog_file.h"
#include "code_page.h"
#include "module_texts.h"

// A mistake in a catalog, on a line of it (0: the file as a whole).
struct Finding {
    int line;
    std::string text;
};

// Everything in `file` that makes the program show something other than
// what its translator meant, found by reading the file as the program does.
// Texts appear as bytes of the code page.
std::vector<Finding> CheckCatalog(const ModuleTexts& texts, const CatalogFile& file, const CodePage& codePage);

// How far the translation has come, over the texts (not sizes or direction).
struct TranslationCounts {
    int translated = 0;
    int needReview = 0;
    int untranslated = 0;
    std::vector<Finding> untranslatedTexts;  // where each is, and what
};

TranslationCounts CountTranslations(const ModuleTexts& texts, const CatalogFile& file);
