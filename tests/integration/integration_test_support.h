#pragma once

// What the tests of the whole integration share.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "class_registry.h"

// A shell-extension library where the code under test looks for it, beside
// the running program. An empty file will do: nothing loads it.
void PlaceLibrary(const char* name);

// A special folder's path without a trailing backslash; empty when the
// system has none.
std::string SpecialFolder(int csidl);

// Every file and folder below `folder`: "<path>" for a file, "<path>\" for a
// folder; and the same for the desktops and Start menus, per-user and
// all-users.
std::set<std::string> FolderListing(const std::string& folder);
std::set<std::string> ShortcutFolderListing();

// HKEY_CURRENT_USER\Software and HKEY_LOCAL_MACHINE\Software, each entry after
// "HKCU\" or "HKLM\". The machine's key is read in the 64-bit view, which
// holds all there is: the 32-bit view is its Wow6432Node keys and the keys
// both views share. Their "Classes" keys make up HKEY_CLASSES_ROOT.
RegistrySnapshot WholeRegistry();

// Target and description of a shell link, read back through IShellLinkA.
std::pair<std::string, std::string> ReadLink(const std::string& path);

// COM for the shell links; no archive type, extension, setting or library
// before and after.
class IntegrationTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};
