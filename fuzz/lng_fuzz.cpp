// kelvon-lng on arbitrary bytes, taken both as a module and as a catalog.
// As a module: the resource reader stays inside the bytes, and whatever
// texts it finds make a template that checks clean and that an update leaves
// as it is. As a catalog, checked and updated against a few texts: the
// tool's view of every line is exactly what the program reads.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

#include "catalog_file.h"
#include "catalog_writer.h"
#include "check.h"
#include "code_page.h"
#include "module_texts.h"
#include "pe_resources.h"

namespace {

constexpr unsigned kCodePage = 936;
const char kModuleName[] = "fuzz.exe";

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

// The texts whose keys the catalog seeds hold: a message, a format, a dialog.
ModuleTexts SeedTexts(const CodePage& codePage) {
    ModuleResources module;
    module.strings = {{5104, u"abc"}, {5106, u"delete %s"}};
    DialogResource dialog;
    dialog.name = u"SETUPDLG";
    dialog.caption = u"setup";
    dialog.controls = {{1, u"push button", 50, u"OK"}, {2, u"push button", 50, u""}};
    module.dialogs.push_back(dialog);
    return CollectModuleTexts(&module, nullptr, codePage);
}

void AsModule(const uint8_t* data, std::size_t size, const CodePage& codePage) {
    DialogTemplateReader reader(data, size);
    TemplateItem item;
    while (reader.NextControl(item)) Check(item.text.bytes + item.text.units * 2 <= data + size);
    ModuleResources module;
    std::string error;
    if (!ReadModuleResources(data, size, module, error)) {
        Check(!error.empty());
        return;
    }
    const ModuleTexts texts = CollectModuleTexts(&module, module.isLibrary ? &module : nullptr, codePage);
    std::ostringstream written;
    WriteTemplate(texts, kModuleName, kCodePage, written);
    const std::string catalog = written.str();
    CatalogFile file;
    Check(ParseCatalogFile(catalog, file));
    // The form feed is the program's line separator, so no catalog can hold
    // a text with one; a template beyond the part the program reads is cut.
    const bool whole = catalog.size() < kCatalogSectionSize && catalog.find('\f') == std::string::npos;
    Check(!whole || CheckCatalog(texts, file, codePage).empty());
    std::ostringstream updated;
    WriteUpdate(texts, kModuleName, kCodePage, file, nullptr, updated);
    Check(!whole || updated.str() == catalog);
}

void AsCatalog(const uint8_t* data, std::size_t size, const ModuleTexts& texts, const CodePage& codePage) {
    CatalogFile file;
    Check(ParseCatalogFile(std::string(reinterpret_cast<const char*>(data), size), file));
    for (const CatalogLine& line : file.lines) {
        if (line.textOffset < 0) continue;
        Check(line.textOffset + static_cast<int64_t>(line.text.size()) <= file.catalog.length);
        Check(std::memcmp(file.catalog.text + line.textOffset, line.text.data(), line.text.size()) == 0);
    }
    CheckCatalog(texts, file, codePage);
    std::ostringstream updated;
    WriteUpdate(texts, kModuleName, kCodePage, file, nullptr, updated);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static CodePage codePage;
    static const bool opened = codePage.Open(kCodePage);
    static const ModuleTexts texts = SeedTexts(codePage);
    Check(opened);
    AsModule(data, size, codePage);
    AsCatalog(data, size, texts, codePage);
    return 0;
}
