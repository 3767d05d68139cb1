#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The resources a catalog's keys are made from, read from the bytes of a PE
// module (the program or a language library) without loading it: the string
// table and the DIALOG and DIALOGEX templates. Texts stay UTF-16, as stored.

struct StringResource {
    unsigned id;
    std::u16string text;
};

struct DialogControl {
    uint32_t id;
    std::u16string kind;  // "push button", "check box", ..., or the class's name
    int width = 0;        // in dialog units
    // Empty also when the template names a resource by number instead: the
    // picture of an icon or bitmap control, which is no text to translate.
    std::u16string text;
};

struct DialogResource {
    // Empty when the dialog is known by a number, which no lookup by name finds.
    std::u16string name;
    unsigned number = 0;
    std::u16string caption;
    std::vector<DialogControl> controls;
};

struct ModuleResources {
    bool isLibrary = false;
    std::vector<StringResource> strings;  // non-empty ones, by id
    std::vector<DialogResource> dialogs;  // in the order of the resource directory
};

// The most UTF-16 units of text the names, string tables and dialog
// templates of one module may give in all, however often they point at the
// same bytes: a few hundred times what the program holds.
constexpr std::size_t kModuleTextUnits = 1u << 20;

// False, with `error` saying why, when the bytes are no PE module or its
// resources are damaged; a module without resources has none.
bool ReadModuleResources(const uint8_t* bytes, std::size_t size, ModuleResources& module, std::string& error);
