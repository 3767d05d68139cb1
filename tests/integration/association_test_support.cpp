#include "association_test_support.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "class_registry.h"
#include "support/process.h"

std::vector<std::string> AllArchiveExtensions() {
    std::vector<std::string> extensions = {
        ".vok", ".zip", ".cab", ".arj", ".lzh", ".lha", ".ace", ".7z",  ".tar", ".gz",  ".tgz", ".uue",
        ".xxe", ".uu",  ".bz2", ".tbz2", ".bz", ".tbz", ".jar", ".iso", ".z",   ".taz", ".rev",
    };
    for (const std::string& volume : VolumeExtensions()) extensions.push_back(volume);
    return extensions;
}

void CleanAssociations() {
    for (const std::string& extension : AllArchiveExtensions()) DeleteKeyTree(HKEY_CLASSES_ROOT, extension);
    for (const char* type : {"Kelvon", "Kelvon.ZIP", "Kelvon.REV"}) DeleteKeyTree(HKEY_CLASSES_ROOT, type);
    DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Kelvon");
    for (const char* name : {"zipnew.dat", "voknew.dat"}) {
        std::string path = TestProgramFolder() + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
}

std::string ExpectedShellNew() {
    const char* value = std::getenv("KELVON_EXPECT_SHELLNEW");
    return value ? value : "";
}

int ExpectedVolumeCount() {
    const char* value = std::getenv("KELVON_EXPECT_VOLUMES");
    return value ? std::atoi(value) : 0;
}

std::string FileContent(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
