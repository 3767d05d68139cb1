#pragma once

#include <windows.h>

#include <string>

// Saves what the screen shows of a window's client area as a PNG file, for
// looking at a dialog after a test run. False when nothing could be captured
// or written.
bool SaveWindowPicture(HWND window, const std::string& path);

// The folder of the build that collects the pictures ("screenshots" at the
// top of the Windows build), made when missing; with a trailing backslash.
std::string PictureFolder();
