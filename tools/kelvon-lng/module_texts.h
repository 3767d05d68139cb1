#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "code_page.h"
#include "pe_resources.h"

// What an entry of the catalog does for the program.
enum class EntryRole { Text, Scale, Direction };

// One key the program looks up, with what it is looked up for.
struct KeyedText {
    std::string key;
    int kind;
    std::string context;  // the dialog's name; empty for messages and the direction
    std::string text;     // the text as the program reads it, in the code page
    std::u16string source;  // the text as the resources hold it
    std::string shown;      // `source` for a comment (CodePage::Shown)
    EntryRole role;
    std::size_t capacity;        // the program's buffer for the translation
    std::string templateValue;   // what a template offers as the translation
    std::vector<std::string> uses;  // "message 5107", "SETUPDLG control 1", ...
    std::vector<std::string> notes;  // for a translator, UTF-8: the control, its width, its accelerator
    int width = 0;  // a one-line control's width in dialog units; 0 for any other text

    // The uses, separated by commas.
    std::string UseList() const;
    // Whether `translation` is still the source text as the program reads
    // it. A source of plain ASCII (a name, an address, a file type) may stay
    // as it is in any language; a source the code page turns into "?"s may not.
    bool IsUntranslated(const std::string& translation) const;
};

struct ModuleTexts {
    std::vector<KeyedText> texts;  // one per key, in the order of the modules
    bool rightToLeft = false;      // the dialogs' module holds the "RTL" dialog
    std::vector<std::string> notes;  // what was left out, and why
    std::unordered_map<std::string, std::size_t> byKey;  // where each key stands in `texts`

    const KeyedText* Find(const std::string& key) const;
};

// The keys the program looks up: messages from its own string table (never
// from a library's: with a catalog loaded the program ignores that), dialog
// texts and scales from the module its dialogs come from, which is the
// library when there is one, and the direction. Either module may be null.
// Keys are taken over the UTF-16 texts unless the code page is 936, or
// `legacyKeys` asks for the keys of a catalog without a code-page line.
ModuleTexts CollectModuleTexts(const ModuleResources* program, const ModuleResources* library,
                               const CodePage& codePage, bool legacyKeys = false);

// Whether a catalog of `codePage` is keyed over UTF-16 texts.
bool KeysOverUtf16(unsigned codePage);
