#include "commands.h"

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "catalog_file.h"
#include "catalog_writer.h"
#include "check.h"
#include "code_page.h"
#include "module_texts.h"
#include "pe_resources.h"
#include "po_file.h"

namespace {

// The code page of the Windows the program's own texts are written for.
constexpr unsigned kDefaultCodePage = 936;
// No module or catalog comes near these; a larger file is refused. The
// program reads no catalog beyond its first 640 KB.
constexpr std::size_t kLargestModule = 256u << 20;
constexpr std::size_t kLargestCatalog = 4u << 20;

const char kUsage[] =
    "usage: kelvon-lng [--codepage N] [-o uninstall.lng] template MODULE...\n"
    "       kelvon-lng [--codepage N] [--verbose] check MODULE... uninstall.lng\n"
    "       kelvon-lng [--codepage N] [-o new.lng] update MODULE... old.lng\n"
    "       kelvon-lng [--codepage N] [--language LL] [-o uninstall.pot] po template MODULE...\n"
    "       kelvon-lng [--language LL] [-o uninstall.po] po export MODULE... uninstall.lng\n"
    "       kelvon-lng [-o uninstall.lng] po import MODULE... uninstall.po\n"
    "Without -o the result goes to stdout; with it, to a new file that replaces\n"
    "FILE only once the whole result is written.\n"
    "MODULE is Uninstall.exe, a language library voklng.dll, or both: messages are\n"
    "keyed by the program's string table, dialogs by the library's templates when\n"
    "there is one. N is the ANSI code page of the Windows the catalog is for: the\n"
    "one its header names, else 936. check exits with 0 when the catalog is clean,\n"
    "1 with findings, 2 when a file cannot be read; --verbose lists the untranslated\n"
    "texts.\n";

struct CommandLine {
    std::string command;
    unsigned codePage = 0;  // 0: not given
    bool verbose = false;
    std::string language;
    std::string output;  // empty: stdout
    std::vector<std::string> modules;
    std::string catalog;
};

bool Parse(const std::vector<std::string>& arguments, CommandLine& line) {
    std::vector<std::string> files;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--codepage" && i + 1 < arguments.size()) {
            char* end = nullptr;
            unsigned long number = std::strtoul(arguments[++i].c_str(), &end, 10);
            if (*end != '\0' || number == 0 || number > 65535) return false;
            line.codePage = static_cast<unsigned>(number);
        } else if (arguments[i] == "--verbose") {
            line.verbose = true;
        } else if (arguments[i] == "--language" && i + 1 < arguments.size()) {
            line.language = arguments[++i];
        } else if (arguments[i] == "-o" && i + 1 < arguments.size()) {
            line.output = arguments[++i];
        } else if (line.command.empty()) {
            line.command = arguments[i];
        } else if (line.command == "po" && files.empty() &&
                   (arguments[i] == "export" || arguments[i] == "import" || arguments[i] == "template")) {
            line.command += " " + arguments[i];
        } else {
            files.push_back(arguments[i]);
        }
    }
    const bool withCatalog = line.command == "check" || line.command == "update" || line.command == "po export" ||
                             line.command == "po import";
    if (!withCatalog && line.command != "template" && line.command != "po template") return false;
    if (withCatalog && !files.empty()) {
        line.catalog = files.back();
        files.pop_back();
    }
    line.modules = files;
    return !files.empty() && files.size() <= 2;
}

std::string BaseName(const std::string& path) {
    return path.substr(path.find_last_of("/\\") + 1);
}

bool ReadBytes(const std::string& path, std::string& bytes, std::size_t largest, std::string& error) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        error = "cannot open it";
        return false;
    }
    char buffer[65536];
    while (stream.read(buffer, sizeof(buffer)) || stream.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(stream.gcount()));
        if (bytes.size() > largest) {
            error = "too large";
            return false;
        }
    }
    if (!stream.eof()) error = "cannot read it";
    return stream.eof();
}

// The program and the library among the modules named.
struct Modules {
    std::unique_ptr<ModuleResources> program;
    std::unique_ptr<ModuleResources> library;
    std::string names;
    PoModules po;  // the program's name, the dialogs' module's name
};

bool ReadModules(const CommandLine& line, Modules& modules, std::ostream& err) {
    for (const std::string& path : line.modules) {
        std::string bytes;
        std::string error;
        auto module = std::make_unique<ModuleResources>();
        if (!ReadBytes(path, bytes, kLargestModule, error) ||
            !ReadModuleResources(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), *module, error)) {
            err << "kelvon-lng: " << path << ": " << error << "\n";
            return false;
        }
        std::unique_ptr<ModuleResources>& slot = module->isLibrary ? modules.library : modules.program;
        if (slot) {
            err << "kelvon-lng: " << path << ": name at most one program and one language library\n";
            return false;
        }
        const bool library = module->isLibrary;
        slot = std::move(module);
        modules.names += (modules.names.empty() ? "" : " and ") + BaseName(path);
        if (library || modules.po.dialogs.empty()) modules.po.dialogs = BaseName(path);
        if (!library) modules.po.program = BaseName(path);
    }
    return true;
}

}  // namespace

namespace {

bool OpenCodePage(unsigned number, CodePage& codePage, std::ostream& err) {
    if (codePage.Open(number)) return true;
    err << "kelvon-lng: code page " << number << " is not known here\n";
    return false;
}

// The code page named on the command line, else the catalog's own, else the
// program's. A catalog written for another code page than the one asked
// for has keys of other bytes: refused, unless update re-keys it.
bool ChooseCodePage(const CommandLine& line, unsigned fromCatalog, bool rekeyed, CodePage& codePage,
                    std::ostream& err) {
    if (line.codePage && fromCatalog && line.codePage != fromCatalog && !rekeyed) {
        err << "kelvon-lng: " << line.catalog << " is written for code page " << fromCatalog << ", not "
            << line.codePage << "\n";
        return false;
    }
    return OpenCodePage(line.codePage ? line.codePage : fromCatalog ? fromCatalog : kDefaultCodePage, codePage, err);
}

int Check(const CommandLine& line, const ModuleTexts& texts, const CatalogFile& catalog, const CodePage& codePage,
          std::ostream& out, std::ostream& err) {
    const std::vector<Finding> findings = CheckCatalog(texts, catalog, codePage);
    const TranslationCounts counts = CountTranslations(texts, catalog);
    auto print = [&](const Finding& finding) {
        out << line.catalog;
        if (finding.line) out << ":" << finding.line;
        out << ": " << finding.text << "\n";
    };
    for (const Finding& finding : findings) print(finding);
    if (line.verbose) {
        for (const Finding& untranslated : counts.untranslatedTexts) print(untranslated);
    }
    // On stderr, as msgfmt --statistics: a clean check prints nothing on stdout.
    err << line.catalog << ": " << counts.translated << " translated, " << counts.needReview << " need review, "
        << counts.untranslated << " untranslated\n";
    return findings.empty() ? kExitClean : kExitFindings;
}

}  // namespace

namespace {

int Run(const CommandLine& line, std::ostream& out, std::ostream& err);

// The result replaces `path` only once it is whole: a failed run leaves the
// file as it was, never empty or cut.
int RunInto(const CommandLine& line, std::ostream& err) {
    std::ostringstream result;
    const int status = Run(line, result, err);
    if (status != kExitClean) return status;
    const std::string temporary = line.output + ".new";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << result.str();
        file.close();
        if (!file) {
            std::remove(temporary.c_str());
            err << "kelvon-lng: " << temporary << ": cannot write it\n";
            return kExitUnreadable;
        }
    }
    if (std::rename(temporary.c_str(), line.output.c_str()) != 0) {
        std::remove(temporary.c_str());
        err << "kelvon-lng: " << line.output << ": cannot replace it\n";
        return kExitUnreadable;
    }
    return status;
}

}  // namespace

int RunKelvonLng(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    CommandLine line;
    if (!Parse(arguments, line)) {
        err << kUsage;
        return kExitUnreadable;
    }
    return line.output.empty() ? Run(line, out, err) : RunInto(line, err);
}

namespace {

int Run(const CommandLine& line, std::ostream& out, std::ostream& err) {
    std::string catalogBytes;
    std::string error;
    if (!line.catalog.empty() && !ReadBytes(line.catalog, catalogBytes, kLargestCatalog, error)) {
        err << "kelvon-lng: " << line.catalog << ": " << error << "\n";
        return kExitUnreadable;
    }
    unsigned catalogCodePage = 0;
    bool named = true;
    PoReading po;
    if (line.command == "po import") {
        po = ReadPoText(catalogBytes);
        if (!ReadPoCodePage(line.catalog, po, catalogCodePage, err)) return kExitUnreadable;
    } else if (!line.catalog.empty()) {
        catalogCodePage = HeaderCodePage(catalogBytes, named);
    }
    // update re-keys a catalog without a code-page line; the other commands
    // see it as the program does.
    const bool rekeyed = line.command == "update" && !named;
    CodePage codePage;
    if (!ChooseCodePage(line, catalogCodePage, rekeyed, codePage, err)) return kExitUnreadable;
    Modules modules;
    if (!ReadModules(line, modules, err)) return kExitUnreadable;
    ModuleTexts texts = CollectModuleTexts(modules.program.get(), modules.library.get(), codePage, !named && !rekeyed);
    for (const std::string& note : texts.notes) err << "kelvon-lng: note: " << note << "\n";
    if (line.command == "template") {
        WriteTemplate(texts, modules.names, codePage.Number(), out);
        return kExitClean;
    }
    if (line.command == "po template") {
        return ExportPo(texts, nullptr, "", modules.po, line.language, codePage, out, err) ? kExitClean
                                                                                           : kExitUnreadable;
    }
    if (line.command == "po import") {
        return ImportPo(texts, line.catalog, po, CatalogHeader(modules.names, codePage.Number()), codePage, out, err)
                   ? kExitClean
                   : kExitUnreadable;
    }
    CatalogFile catalog;
    if (!ParseCatalogFile(std::move(catalogBytes), catalog)) {
        err << "kelvon-lng: " << line.catalog << ": out of memory\n";
        return kExitUnreadable;
    }
    catalog.catalog.leadBytes = &codePage.LeadBytes();
    if (line.command == "update") {
        CodePage oldCodePage;
        if (rekeyed && !OpenCodePage(catalogCodePage ? catalogCodePage : kDefaultCodePage, oldCodePage, err)) {
            return kExitUnreadable;
        }
        const ModuleTexts oldTexts =
            rekeyed ? CollectModuleTexts(modules.program.get(), modules.library.get(), oldCodePage, true) : ModuleTexts();
        WriteUpdate(texts, modules.names, codePage.Number(), catalog, rekeyed ? &oldTexts : nullptr, out);
        return kExitClean;
    }
    if (line.command == "po export") {
        return ExportPo(texts, &catalog, line.catalog, modules.po, line.language, codePage, out, err)
                   ? kExitClean
                   : kExitUnreadable;
    }
    return Check(line, texts, catalog, codePage, out, err);
}
}  // namespace
