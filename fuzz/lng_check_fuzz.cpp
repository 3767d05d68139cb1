// Arbitrary bytes as a catalog, checked and updated against a few texts:
// the tool's view of every line must be exactly what the program reads.
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

namespace {

constexpr unsigned kCodePage = 936;

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

// The texts whose keys the seeds hold: a message, a format and a dialog.
ModuleTexts SeedTexts(const CodePage& codePage) {
    ModuleResources module;
    module.strings = {{5104, u"abc"}, {5106, u"delete %s"}};
    DialogResource dialog;
    dialog.name = u"SETUPDLG";
    dialog.caption = u"setup";
    dialog.controls = {{1, u"OK"}, {2, u""}};
    module.dialogs.push_back(dialog);
    return CollectModuleTexts(&module, nullptr, codePage);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static CodePage codePage;
    static const bool opened = codePage.Open(kCodePage);
    static const ModuleTexts texts = SeedTexts(codePage);
    Check(opened);

    CatalogFile file;
    Check(ParseCatalogFile(std::string(reinterpret_cast<const char*>(data), size), file));
    for (const CatalogLine& line : file.lines) {
        if (line.textOffset < 0) continue;
        Check(line.textOffset + static_cast<int64_t>(line.text.size()) <= file.catalog.length);
        Check(std::memcmp(file.catalog.text + line.textOffset, line.text.data(), line.text.size()) == 0);
    }
    CheckCatalog(texts, file, codePage);
    std::ostringstream updated;
    WriteUpdate(texts, "fuzz.exe", kCodePage, file, updated);
    CatalogFile again;
    Check(ParseCatalogFile(updated.str(), again));
    return 0;
}
