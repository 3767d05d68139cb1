#pragma once

// What the association tests share: the keys they clean, where the templates
// go, and what the Windows version in use makes the program do.
#include <string>
#include <vector>

// Every extension of every group, ".rev" and the volume extensions.
std::vector<std::string> AllArchiveExtensions();

// Removes the extensions, the archive types, "Software\Kelvon" and the
// template files beside the test program (the program folder of the code
// under test).
void CleanAssociations();

// From the environment the test runs with: whether the shell takes the
// New-menu template as a "Data" value (Windows 95/98/NT 4) instead of a file,
// and how many volume extensions the native group takes. Empty when not set.
std::string ExpectedShellNew();
int ExpectedVolumeCount();

std::string FileContent(const std::string& path);
