#include "integration/shell_new.h"

#include <windows.h>

#include "platform/path_text.h"
#include "platform/program_path.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "platform/run_log.h"

const unsigned char EmptyZipImage[kEmptyZipImageSize] = {0x50, 0x4B, 0x05, 0x06};
const unsigned char EmptyNativeImage[kEmptyNativeImageSize] = {
    'V', 'o', 'k', '!', 0x1A, 0x07, 0x00, 0xCF, 0x90, 0x73, 0x00, 0x00, 0x0D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
};

const char kZipTemplateName[] = "zipnew.dat";
const char kNativeTemplateName[] = "voknew.dat";

namespace {

const char kDataValue[] = "Data";

// Windows 95, 98 and NT 4.0 take the template's bytes from the registry.
bool ShellNewTakesData() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExA(&version)) return false;
    return version.dwMajorVersion <= 4 && version.dwMinorVersion <= 10;
}

// Creates the template once. A file that is already there is the user's or an
// earlier setup's and stays as it is; a half-written one is removed rather
// than left as a broken template that would never be rewritten.
void CreateTemplateFile(const char* path, const unsigned char* image, DWORD size) {
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) return;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (RunLogActive) LogAction(static_cast<long>(GetLastError()), "file: created %s", path);
        return;
    }
    DWORD written = 0;
    bool complete = WriteFile(file, image, size, &written, nullptr) && written == size;
    CloseHandle(file);
    if (!complete) DeleteFileA(path);
    if (RunLogActive) LogAction(complete ? 0 : kLogFailed, "file: created %s", path);
}

}  // namespace

void WriteShellNewEntry(const char* shellNewKey, bool native) {
    const unsigned char* image = native ? EmptyNativeImage : EmptyZipImage;
    DWORD size = native ? kEmptyNativeImageSize : kEmptyZipImageSize;
    if (ShellNewTakesData()) {
        RegWriteBinary(HKEY_CLASSES_ROOT, shellNewKey, kDataValue, image, size);
        return;
    }
    char path[kPathSize];
    if (!PathBesideProgram(native ? kNativeTemplateName : kZipTemplateName, path, sizeof(path))) return;
    CreateTemplateFile(path, image, size);
    RegWriteString(HKEY_CLASSES_ROOT, shellNewKey, kShellNewFileNameValue, path);
}
