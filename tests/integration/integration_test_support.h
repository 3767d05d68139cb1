#pragma once

// What the tests of the whole integration share: the libraries beside the
// program, the special folders, shortcuts read back, and snapshots of
// everything setup may touch.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "class_registry.h"

// The shell-extension libraries, placed where the code under test looks for
// them (beside the running program). Empty files: nothing loads them.
void PlaceLibrary(const char* name);
void RemoveLibraries();

// A special folder's path without a trailing backslash; empty when the
// system has none. Asking may create it, as asking does in the product.
std::string SpecialFolder(int csidl);

// Every file and folder below `folder`: "<path>" for a file, "<path>\" for a
// folder.
std::set<std::string> FolderListing(const std::string& folder);

// Every file and folder below the desktops and Start menus, per-user and
// all-users: "<path>" for a file, "<path>\" for a folder.
std::set<std::string> ShortcutFolderListing();

// HKEY_CURRENT_USER\Software and HKEY_LOCAL_MACHINE\Software, each entry
// after "HKCU\" or "HKLM\". The machine's key is read in the 64-bit view,
// which holds all there is: the 32-bit view is its Wow6432Node keys and the
// keys both views share. Their "Classes" keys together are
// HKEY_CLASSES_ROOT.
RegistrySnapshot WholeRegistry();

// Target and description of a shell link, read back through IShellLinkA;
// "<unreadable>" for both when it cannot be loaded.
struct LinkContent {
    std::string target;
    std::string description;
};
LinkContent ReadLink(const std::string& path);

// COM for the shell links, and a clean product key before and after.
class IntegrationTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};
