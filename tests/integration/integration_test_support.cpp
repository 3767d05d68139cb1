#include "integration_test_support.h"

#include <shlobj.h>

#include "association_test_support.h"
#include "support/process.h"
#include "support/scratch_folder.h"

namespace {

void ListFolder(const std::string& folder, std::set<std::string>& listing) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        bool isFolder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        listing.insert(folder + "\\" + name + (isFolder ? "\\" : ""));
        if (isFolder) ListFolder(folder + "\\" + name, listing);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

}  // namespace

void PlaceLibrary(const char* name) { WriteBytes(TestProgramFolder() + name, ""); }

std::string SpecialFolder(int csidl) {
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &items))) return "";
    char path[MAX_PATH] = "";
    SHGetPathFromIDListA(items, path);
    CoTaskMemFree(items);
    return path;
}

std::set<std::string> FolderListing(const std::string& folder) {
    std::set<std::string> listing;
    std::string base = folder.substr(0, folder.find_last_not_of('\\') + 1);
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

std::pair<std::string, std::string> ReadLink(const std::string& path) {
    char target[MAX_PATH] = "<unreadable>";
    char description[MAX_PATH] = "<unreadable>";
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    wchar_t name[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, name, MAX_PATH);
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(name, STGM_READ))) {
        link->GetPath(target, MAX_PATH, nullptr, 0);
        link->GetDescription(description, MAX_PATH);
    }
    if (file) file->Release();
    if (link) link->Release();
    return {target, description};
}

void IntegrationTest::SetUp() {
    CoInitialize(nullptr);
    CleanAssociations();
}

void IntegrationTest::TearDown() {
    for (const char* name : {"vokext.dll", "vokext64.dll"}) DeleteFileA((TestProgramFolder() + name).c_str());
    CleanAssociations();
    CoUninitialize();
}
