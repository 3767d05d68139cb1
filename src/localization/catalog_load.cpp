#include <windows.h>

#include <algorithm>
#include <cstring>

#include "localization/catalog.h"
#include "platform/file.h"
#include "platform/path_text.h"
#include "platform/program_path.h"

namespace {

// A name without a backslash lies beside the program; any other path is
// taken as it is, a relative one from the current directory.
bool CatalogPath(const char* fileName, char (&path)[kPathSize]) {
    if (ContainsBackslash(fileName)) {
        if (std::strlen(fileName) >= sizeof(path)) return false;
        std::strcpy(path, fileName);
        return true;
    }
    // Without a folder in the program's own path the name would count from
    // the current directory after all.
    return PathBesideProgram(fileName, path, sizeof(path)) && ContainsBackslash(path);
}

void ReadSection(LanguageCatalog& catalog, const char* fileName) {
    char path[kPathSize];
    if (!CatalogPath(fileName, path)) return;
    File file;
    if (!file.Open(path, nullptr, true, false)) return;
    int64_t marker = ScanForCatalogMarker([&file](int64_t position, unsigned char* block, int size) {
        file.Seek(position, FILE_BEGIN);
        return file.Read(block, static_cast<unsigned>(size));
    });
    if (marker < 0) return;
    char head[kCatalogHeadSize];
    file.Seek(0, FILE_BEGIN);
    const int headSize = file.Read(head, static_cast<unsigned>(std::min<int64_t>(marker, sizeof(head))));
    const unsigned named = ReadCatalogCodePage(head, headSize > 0 ? static_cast<std::size_t>(headSize) : 0);
    file.Seek(marker, FILE_BEGIN);
    char* block = AllocateCatalogSection();
    if (!block) return;
    catalog.AdoptSection(block, file.Read(block, kCatalogSectionSize));
    catalog.codePage = named ? named : kLegacyKeysCodePage;
}

// A language library asks for right-to-left layout by holding a dialog
// named "RTL"; a catalog by translating the direction query to "RTL".
void DetectDirection(LanguageCatalog& catalog, HMODULE resourceModule) {
    if (FindResourceA(resourceModule, kRightToLeft, RT_DIALOG)) {
        catalog.rtl = 1;
        return;
    }
    char direction[kDirectionTextSize];
    const ResourceText query{kDirectionQueryUtf16, sizeof(kDirectionQueryUtf16) / 2};
    catalog.TranslateSource(kDirectionQuery, query, direction, sizeof(direction), kDialogText, kDirectionQuery);
    catalog.rtl = std::strcmp(direction, kRightToLeft) == 0 ? 1 : 0;
}

}  // namespace

void LanguageCatalog::Load(const char* fileName, HINSTANCE__* resourceModule) {
    Release();
    ReadSection(*this, fileName);
    DetectDirection(*this, resourceModule);
}
