#include "integration/shell_extension.h"

#include <windows.h>

#include "integration/association_groups.h"
#include "integration/created_keys.h"
#include "platform/path_text.h"
#include "platform/program_path.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "platform/system.h"

namespace {

const char kLibrary32[] = "vokext.dll";
const char kLibrary64[] = "vokext64.dll";
const char kClassId32[] = "{7A0C52E1-3D94-4B2F-86C1-0E5A9B3D47F2}";
const char kClassId64[] = "{7A0C52E1-51A8-4B2F-86C1-0E5A9B3D47F2}";
// On 64-bit Windows the 64-bit library takes the plain name, since that is
// the one Explorer loads there.
const char kHandlerName[] = "Kelvon";
const char kHandlerNameBeside64[] = "Kelvon32";

const char kClassKeyFormat[] = "CLSID\\%s";
const char kServerKeyFormat[] = "CLSID\\%s\\InProcServer32";
const char kClassName[] = "Kelvon";
const char kThreadingModelValue[] = "ThreadingModel";
const char kApartment[] = "Apartment";

const char kApprovedKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
const char kApprovedText[] = "Kelvon shell extension";

const char kRegisteredApplicationsKey[] = "Software\\RegisteredApplications";
const char kRegisteredName[] = "Kelvon";
const char kCapabilitiesKeyFormat[] = "%s\\Capabilities";
const char kFileAssociationsKeyFormat[] = "%s\\FileAssociations";
const char kDescriptionValue[] = "ApplicationDescription";
const char kDescription[] = "Kelvon";

// The handler keys of one library, in the order they are written and
// removed: "<owner>\shellex\<kind>", most with a last component named by
// the class identifier or by the handler name.
enum HandlerKeyName { ByClassId, ByHandlerName, Unnamed };
struct HandlerPlace {
    const char* owner;
    const char* kind;
    HandlerKeyName name;
};
const HandlerPlace kHandlerPlaces[] = {
    {kArchiveType, "ContextMenuHandlers", ByClassId},
    {kArchiveType, "PropertySheetHandlers", ByClassId},
    {kZipArchiveType, "ContextMenuHandlers", ByClassId},
    {kZipArchiveType, "PropertySheetHandlers", ByClassId},
    {"exefile", "PropertySheetHandlers", ByClassId},
    {kArchiveType, "DropHandler", Unnamed},
    {kZipArchiveType, "DropHandler", Unnamed},
    {"*", "ContextMenuHandlers", ByHandlerName},
    {"Folder", "ContextMenuHandlers", ByHandlerName},
    {"Folder", "DragDropHandlers", ByHandlerName},
    {"Drive", "DragDropHandlers", ByHandlerName},
    {"Directory", "ContextMenuHandlers", ByHandlerName},
    {"Directory", "DragDropHandlers", ByHandlerName},
};
constexpr int kHandlerKeyCount = sizeof(kHandlerPlaces) / sizeof(kHandlerPlaces[0]);

// A key under HKEY_CLASSES_ROOT and the text of its default value: empty
// where the key names the class, else the class identifier.
struct HandlerKey {
    char path[kKeyPathSize];
    const char* text;
};

// A key whose path would not fit is left empty, and so skipped.
void FormHandlerKeys(const char* handlerName, const char* classId, HandlerKey (&keys)[kHandlerKeyCount]) {
    for (int i = 0; i < kHandlerKeyCount; ++i) {
        const HandlerPlace& place = kHandlerPlaces[i];
        bool formed = place.name == Unnamed
                          ? FormatInto(keys[i].path, kKeyPathSize, "%s\\shellex\\%s", place.owner, place.kind)
                          : FormatInto(keys[i].path, kKeyPathSize, "%s\\shellex\\%s\\%s", place.owner, place.kind,
                                       place.name == ByClassId ? classId : handlerName);
        if (!formed) keys[i].path[0] = '\0';
        keys[i].text = place.name == ByClassId ? "" : classId;
    }
}

struct ClassKeys {
    char classKey[kKeyPathSize];
    char serverKey[kKeyPathSize];
};

bool FormClassKeys(const char* classId, ClassKeys& keys) {
    return FormatInto(keys.classKey, sizeof(keys.classKey), kClassKeyFormat, classId) &&
           FormatInto(keys.serverKey, sizeof(keys.serverKey), kServerKeyFormat, classId);
}

// The class keys only when the library is there: a class naming a missing
// file would make Explorer try to load it.
void WriteClassKeys(const char* libraryName, const ClassKeys& keys, bool use64View) {
    char library[kPathSize];
    if (!PathBesideProgram(libraryName, library, sizeof(library))) return;
    if (GetFileAttributesA(library) == INVALID_FILE_ATTRIBUTES) return;
    RegistryViewScope view(use64View);
    WriteStringNotingKeys(HKEY_CLASSES_ROOT, keys.classKey, "", kClassName);
    WriteStringNotingKeys(HKEY_CLASSES_ROOT, keys.serverKey, "", library);
    RegWriteString(HKEY_CLASSES_ROOT, keys.serverKey, kThreadingModelValue, kApartment);
}

void RegisterLibrary(const char* libraryName, const char* classId, const ClassKeys& classKeys,
                     const HandlerKey (&handlers)[kHandlerKeyCount], bool use64View) {
    WriteClassKeys(libraryName, classKeys, use64View);
    for (const HandlerKey& handler : handlers) {
        if (handler.path[0]) WriteStringNotingKeys(HKEY_CLASSES_ROOT, handler.path, "", handler.text);
    }
    WriteStringNotingKeys(HKEY_LOCAL_MACHINE, kApprovedKey, classId, kApprovedText);
}

// The class keys go from the view they were written in: the 64-bit
// library's live in the 64-bit view, which the process's own view does not
// reach.
void RemoveLibrary(const char* classId, const ClassKeys& classKeys, const HandlerKey (&handlers)[kHandlerKeyCount],
                   bool use64View) {
    RegView classView = use64View ? View64 : OwnView;
    RegDeleteKeyOnly(HKEY_CLASSES_ROOT, classKeys.serverKey, classView);
    RegDeleteKeyOnly(HKEY_CLASSES_ROOT, classKeys.classKey, classView);
    for (const HandlerKey& handler : handlers) {
        if (handler.path[0]) RegDeleteKeyOnly(HKEY_CLASSES_ROOT, handler.path);
    }
    RegDeleteValueOnly(HKEY_LOCAL_MACHINE, kApprovedKey, classId);

    // Parents go only after all entries: handlers of two kinds share one
    // "shellex" key.
    RemoveCreatedKeys(HKEY_CLASSES_ROOT, classKeys.serverKey, classView);
    for (const HandlerKey& handler : handlers) {
        if (handler.path[0]) RemoveCreatedKeys(HKEY_CLASSES_ROOT, handler.path);
    }
    RemoveCreatedKeys(HKEY_LOCAL_MACHINE, kApprovedKey);
}

void RegisterCapabilities() {
    char capabilities[kKeyPathSize];
    char fileAssociations[kKeyPathSize];
    if (!FormatInto(capabilities, sizeof(capabilities), kCapabilitiesKeyFormat, kProductKey) ||
        !FormatInto(fileAssociations, sizeof(fileAssociations), kFileAssociationsKeyFormat, capabilities)) {
        return;
    }
    WriteStringNotingKeys(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey, kRegisteredName, capabilities);
    RegWriteString(HKEY_LOCAL_MACHINE, capabilities, kDescriptionValue, kDescription);
    ForEachGroupExtension([&fileAssociations](int group, const char* extension) {
        RegWriteString(HKEY_LOCAL_MACHINE, fileAssociations, extension,
                       group == kZipGroup ? kZipArchiveType : kArchiveType);
    });
}

void RemoveCapabilities() {
    RegDeleteValueOnly(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey, kRegisteredName);
    RemoveCreatedKeys(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey);
    RegDeleteTree(HKEY_LOCAL_MACHINE, kProductKey);
}

}  // namespace

void RegisterShellExtension(const char* libraryName, const char* handlerName, const char* classId, bool enable,
                            bool use64View) {
    ClassKeys classKeys;
    if (!FormClassKeys(classId, classKeys)) return;
    HandlerKey handlers[kHandlerKeyCount];
    FormHandlerKeys(handlerName, classId, handlers);
    if (enable) {
        RegisterLibrary(libraryName, classId, classKeys, handlers, use64View);
    } else {
        RemoveLibrary(classId, classKeys, handlers, use64View);
    }
}

void UpdateShellIntegration(bool remove, const IntegrationSettings& settings) {
    bool enable = settings.flag[ShellIntegration] != 0;
    bool wow64 = IsWow64();
    RegisterShellExtension(kLibrary32, wow64 ? kHandlerNameBeside64 : kHandlerName, kClassId32, enable, false);
    if (wow64) RegisterShellExtension(kLibrary64, kHandlerName, kClassId64, enable, true);
    // Default Programs came with Vista.
    if (WinNT() < 6) return;
    if (remove) {
        RemoveCapabilities();
    } else {
        RegisterCapabilities();
    }
}
