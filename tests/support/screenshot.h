#pragma once

#include <windows.h>

#include <string>
#include <vector>

// What the screen shows in `area`, as a bitmap the caller deletes; null when
// nothing could be captured.
HBITMAP CaptureScreenArea(const RECT& area);

// The pixels of a captured bitmap, 32 bits each, top row first; for telling
// whether two captures show the same.
std::vector<BYTE> BitmapPixels(HBITMAP bitmap);

bool SaveBitmapAsPng(HBITMAP bitmap, const std::string& path);

// Saves what the screen shows of a window's client area as a PNG file, for
// looking at a dialog after a test run. False when nothing could be captured
// or written.
bool SaveWindowPicture(HWND window, const std::string& path);

// The folder of the build that collects the pictures ("screenshots" at the
// top of the Windows build), made when missing; with a trailing backslash.
std::string PictureFolder();
