#include "support/screenshot.h"

#include <gdiplus.h>

#include "support/process.h"

namespace {

// The PNG encoder of GDI+.
const CLSID kPngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

}  // namespace

HBITMAP CaptureScreenArea(const RECT& area) {
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BOOL copied = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!copied) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

std::vector<BYTE> BitmapPixels(HBITMAP bitmap) {
    BITMAP shape = {};
    if (!GetObjectA(bitmap, sizeof(shape), &shape)) return {};
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = shape.bmWidth;
    info.bmiHeader.biHeight = -shape.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<BYTE> pixels(static_cast<size_t>(shape.bmWidth) * shape.bmHeight * 4);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, shape.bmHeight, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != shape.bmHeight) return {};
    return pixels;
}

bool SaveBitmapAsPng(HBITMAP bitmap, const std::string& path) {
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

bool SaveWindowPicture(HWND window, const std::string& path) {
    // Without a window manager the X server shows the client area only.
    RECT client;
    POINT origin = {0, 0};
    if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin)) return false;
    OffsetRect(&client, origin.x, origin.y);
    HBITMAP bitmap = CaptureScreenArea(client);
    if (!bitmap) return false;
    bool saved = SaveBitmapAsPng(bitmap, path);
    DeleteObject(bitmap);
    return saved;
}

std::string PictureFolder() {
    // Test programs live two folders below the top of the build.
    std::string folder = TestProgramFolder() + "..\\..\\screenshots\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}
