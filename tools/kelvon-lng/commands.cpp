#include "commands.h"

#include <cstdlib>
#include <fstream>
#include <memory>

#include "catalog_file.h"
#include "catalog_writer.h"
#include "check.h"
#include "code_page.h"
#include "module_texts.h"
#include "pe_resources.h"

namespace {

// The code page of the Windows the program's own texts are written for.
constexpr unsigned kDefaultCodePage = 936;
// No module or catalog comes near this; a larger file is refused.
constexpr std::size_t kLargestFile = 256u << 20;

const char kUsage[] =
    "usage: kelvon-lng [--codepage N] template MODULE... > uninstall.lng\n"
    "       kelvon-lng [--codepage N] check MODULE... uninstall.lng\n"
    "       kelvon-lng [--codepage N] update MODULE... old.lng > new.lng\n"
    "MODULE is Uninstall.exe, a language library voklng.dll, or both: messages are\n"
    "keyed by the program's string table, dialogs by the library's templates when\n"
    "there is one. N is the ANSI code page of the Windows the catalog is for (936).\n"
    "check exits with 0 when the catalog is clean, 1 with findings, 2 when a file\n"
    "cannot be read.\n";

struct CommandLine {
    std::string command;
    unsigned codePage = kDefaultCodePage;
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
        } else if (line.command.empty()) {
            line.command = arguments[i];
        } else {
            files.push_back(arguments[i]);
        }
    }
    const bool withCatalog = line.command == "check" || line.command == "update";
    if (!withCatalog && line.command != "template") return false;
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

bool ReadBytes(const std::string& path, std::string& bytes, std::string& error) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        error = "cannot open it";
        return false;
    }
    char buffer[65536];
    while (stream.read(buffer, sizeof(buffer)) || stream.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(stream.gcount()));
        if (bytes.size() > kLargestFile) {
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
};

bool ReadModules(const CommandLine& line, Modules& modules, std::ostream& err) {
    for (const std::string& path : line.modules) {
        std::string bytes;
        std::string error;
        auto module = std::make_unique<ModuleResources>();
        if (!ReadBytes(path, bytes, error) ||
            !ReadModuleResources(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), *module, error)) {
            err << "kelvon-lng: " << path << ": " << error << "\n";
            return false;
        }
        std::unique_ptr<ModuleResources>& slot = module->isLibrary ? modules.library : modules.program;
        if (slot) {
            err << "kelvon-lng: " << path << ": name at most one program and one language library\n";
            return false;
        }
        slot = std::move(module);
        modules.names += (modules.names.empty() ? "" : " and ") + BaseName(path);
    }
    return true;
}

}  // namespace

int RunKelvonLng(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    CommandLine line;
    if (!Parse(arguments, line)) {
        err << kUsage;
        return kExitUnreadable;
    }
    CodePage codePage;
    if (!codePage.Open(line.codePage)) {
        err << "kelvon-lng: code page " << line.codePage << " is not known here\n";
        return kExitUnreadable;
    }
    Modules modules;
    if (!ReadModules(line, modules, err)) return kExitUnreadable;
    ModuleTexts texts = CollectModuleTexts(modules.program.get(), modules.library.get(), codePage);
    for (const std::string& note : texts.notes) err << "kelvon-lng: note: " << note << "\n";
    if (line.command == "template") {
        WriteTemplate(texts, modules.names, line.codePage, out);
        return kExitClean;
    }
    CatalogFile catalog;
    std::string bytes;
    std::string error;
    if (!ReadBytes(line.catalog, bytes, error) || !ParseCatalogFile(std::move(bytes), catalog)) {
        err << "kelvon-lng: " << line.catalog << ": " << (error.empty() ? "out of memory" : error) << "\n";
        return kExitUnreadable;
    }
    if (line.command == "update") {
        WriteUpdate(texts, modules.names, line.codePage, catalog, out);
        return kExitClean;
    }
    const std::vector<Finding> findings = CheckCatalog(texts, catalog, codePage);
    for (const Finding& finding : findings) {
        out << line.catalog;
        if (finding.line) out << ":" << finding.line;
        out << ": " << finding.text << "\n";
    }
    return findings.empty() ? kExitClean : kExitFindings;
}
