#include "localization/language_library.h"

#include <cstring>

#include "platform/path_text.h"
#include "platform/program_path.h"
#include "platform/system.h"

HMODULE ProgramInstance = nullptr;
HMODULE ResourceModule = nullptr;

namespace {

const char kLibraryName[] = "voklng.dll";

// On the NT family the library is mapped as data, so none of its code can
// run; Windows 95/98/Me takes resources only from a library loaded as such.
HMODULE OpenLibrary(const char* path) {
    if (WinNT()) return LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | DONT_RESOLVE_DLL_REFERENCES);
    return LoadLibraryA(path);
}

// The path of the library in the folder of `path`, or of the program.
bool LibraryPath(const char* path, char (&buffer)[kPathSize]) {
    if (!path) return PathBesideProgram(kLibraryName, buffer, sizeof(buffer));
    if (std::strlen(path) >= sizeof(buffer)) return false;
    std::strcpy(buffer, path);
    return ReplacePathName(buffer, sizeof(buffer), kLibraryName);
}

struct UnloadAtExit {
    ~UnloadAtExit() { LanguageLibrary::Unload(); }
} unloadAtExit;

}  // namespace

HMODULE ModuleHolding(const char* name, const char* type) {
    return FindResourceA(ResourceModule, name, type) ? ResourceModule : ProgramInstance;
}

namespace LanguageLibrary {

bool loaded = false;

void Load(HMODULE ownInstance, const char* path) {
    Unload();
    char buffer[kPathSize];
    HMODULE library = LibraryPath(path, buffer) ? OpenLibrary(buffer) : nullptr;
    loaded = library != nullptr;
    ResourceModule = loaded ? library : ownInstance;
    ProgramInstance = ownInstance;
}

void Unload() {
    if (!loaded) return;
    FreeLibrary(ResourceModule);
    ResourceModule = ProgramInstance;
    loaded = false;
}

}  // namespace LanguageLibrary
