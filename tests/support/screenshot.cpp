#include "support/screenshot.h"

#include <gdiplus.h>

#include "support/process.h"

namespace {

// The PNG encoder of GDI+.
const CLSID kPngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

bool SaveAsPng(HBITMAP bitmap, const std::string& path) {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
    std::wstring widePath(path.begin(), path.end());
    Gdiplus::GpBitmap* image = nullptr;
    bool saved = Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) == Gdiplus::Ok &&
                 Gdiplus::DllExports::GdipSaveImageToFile(image, widePath.c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
    if (image) Gdiplus::DllExports::GdipDisposeImage(image);
    Gdiplus::GdiplusShutdown(token);
    return saved;
}

}  // namespace

bool SaveWindowPicture(HWND window, const std::string& path) {
    // Without a window manager the X server shows the client area only.
    RECT client;
    POINT origin = {0, 0};
    if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin) || client.right <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    bool saved = SaveAsPng(bitmap, path);
    DeleteObject(bitmap);
    return saved;
}

std::string PictureFolder() {
    // Test programs live two folders below the top of the build.
    std::string folder = TestProgramFolder() + "..\\..\\screenshots\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}
