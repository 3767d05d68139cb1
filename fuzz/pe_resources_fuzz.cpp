// Arbitrary bytes as a module: the resource reader must stay inside them,
// and whatever texts it finds must make a template that checks clean and
// that an update leaves as it is.
#include <cstddef>
#include <cstdint>
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

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

const CodePage& Converter() {
    static CodePage codePage;
    static const bool opened = codePage.Open(kCodePage);
    Check(opened);
    return codePage;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    DialogResource dialog;
    ReadDialogTemplate(data, size, dialog);

    ModuleResources module;
    std::string error;
    if (!ReadModuleResources(data, size, module, error)) {
        Check(!error.empty());
        return 0;
    }
    const ModuleTexts texts = CollectModuleTexts(&module, module.isLibrary ? &module : nullptr, Converter());
    std::ostringstream written;
    WriteTemplate(texts, "fuzz.exe", kCodePage, written);
    const std::string catalog = written.str();
    CatalogFile file;
    Check(ParseCatalogFile(catalog, file));
    // The form feed is the program's line separator, so no catalog can hold
    // a text with one; a template beyond the part the program reads is cut.
    const bool whole = catalog.size() < kCatalogSectionSize && catalog.find('\f') == std::string::npos;
    Check(!whole || CheckCatalog(texts, file, Converter()).empty());
    std::ostringstream updated;
    WriteUpdate(texts, "fuzz.exe", kCodePage, file, updated);
    Check(!whole || updated.str() == catalog);
    return 0;
}
