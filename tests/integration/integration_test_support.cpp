#include "integration_test_support.h"

#include <shlobj.h>

#include "association_test_support.h"
#include "support/process.h"
#include "support/scratch_folder.h"

namespace {

const char* const kLibraries[] = {"vokext.dll", "vokext64.dll"};

void ListFolder(const std::string& folder, std::set<std::string>& listing) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        std::string path = folder + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            listing.insert(path + "\\");
            ListFolder(path, listing);
        } else {
            listing.insert(path);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

}  // namespace

void PlaceLibrary(const char* name) { WriteBytes(TestProgramFolder() + name, ""); }

void RemoveLibraries() {
    for (const char* name : kLibraries) DeleteFileA((TestProgramFolder() + name).c_str());
}

std::string SpecialFolder(int csidl) {
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &items))) return "";
    char path[MAX_PATH] = "";
    SHGetPathFromIDListA(items, path);
    CoTaskMemFree(items);
    std::string folder = path;
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

std::set<std::string> FolderListing(const std::string& folder) {
    std::set<std::string> listing;
    std::string base = folder;
    if (!base.empty() && base.back() == '\\') base.pop_back();
    if (!base.empty()) ListFolder(base, listing);
    return listing;
}

std::set<std::string> ShortcutFolderListing() {
    std::set<std::string> listing;
    for (int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_STARTMENU, CSIDL_COMMON_STARTMENU}) {
        for (const std::string& entry : FolderListing(SpecialFolder(csidl))) listing.insert(entry);
    }
    return listing;
}

RegistrySnapshot WholeRegistry() {
    RegistrySnapshot whole;
    for (const auto& entry : TakeSnapshot(HKEY_CURRENT_USER, {"Software"})) whole["HKCU\\" + entry.first] = entry.second;
    for (const auto& entry : TakeSnapshot(HKEY_LOCAL_MACHINE, {"Software"}, KEY_WOW64_64KEY)) {
        whole["HKLM\\" + entry.first] = entry.second;
    }
    return whole;
}

LinkContent ReadLink(const std::string& path) {
    LinkContent content{"<unreadable>", "<unreadable>"};
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link)))) {
        return content;
    }
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t name[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, name, MAX_PATH);
        char text[MAX_PATH];
        if (SUCCEEDED(file->Load(name, STGM_READ)) && SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, 0))) {
            content.target = text;
            if (SUCCEEDED(link->GetDescription(text, MAX_PATH))) content.description = text;
        }
        file->Release();
    }
    link->Release();
    return content;
}

void IntegrationTest::SetUp() {
    CoInitialize(nullptr);
    CleanAssociations();
}

void IntegrationTest::TearDown() {
    RemoveLibraries();
    CleanAssociations();
    CoUninitialize();
}
