// kelvon-lng's po import on arbitrary bytes: it reads them in one pass,
// every refusal names a line of the file, and a catalog it writes is one the
// program reads back with an entry for every message it took.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "catalog_file.h"
#include "catalog_writer.h"
#include "code_page.h"
#include "module_texts.h"
#include "po_file.h"
#include "po_reader.h"

namespace {

const char kPath[] = "fuzz.po";

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

ModuleTexts SeedTexts(const CodePage& codePage) {
    ModuleResources module;
    module.strings = {{5104, u"\u5378\u8F7D Kelvon"}, {5106, u"delete %s"}};
    DialogResource dialog;
    dialog.name = u"SETUPDLG";
    dialog.caption = u"setup";
    dialog.controls = {{1, u"push button", 50, u"OK"}};
    module.dialogs.push_back(dialog);
    return CollectModuleTexts(&module, nullptr, codePage);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static CodePage codePage;
    static const bool opened = codePage.Open(1252);
    static const ModuleTexts texts = SeedTexts(codePage);
    Check(opened);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const PoReading po = ReadPoText(bytes);
    const int lines = 1 + static_cast<int>(std::count(bytes.begin(), bytes.end(), '\n'));
    Check(po.error.empty() || (po.errorLine >= 1 && po.errorLine <= lines));
    for (const PoMessage& message : po.messages) Check(message.line >= 1 && message.line <= lines);
    std::ostringstream out;
    std::ostringstream err;
    unsigned named = 0;
    if (!ReadPoCodePage(kPath, po, named, err)) return 0;
    if (!ImportPo(texts, kPath, po, CatalogHeader("fuzz.exe", codePage.Number()), codePage, out, err)) return 0;
    CatalogFile catalog;
    Check(ParseCatalogFile(out.str(), catalog));
    for (const KeyedText& text : texts.texts) Check(catalog.LineFor(text.key) != nullptr);
    return 0;
}
