// A program that imports a function newer than Windows 98 and one from a
// library the program may not use: the import check must refuse both.
#define _WIN32_WINNT 0x0600
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    DWORD handle = 0;
    return static_cast<int>(GetTickCount64() + GetFileVersionInfoSizeA("x", &handle));
}
