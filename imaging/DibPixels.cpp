#include "imaging/DibPixels.h"

#include <cstdlib>

#include "app/Error.h"
#include "app/Win32Handles.h"

namespace kadrix {

namespace {

struct InfoWithColours {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

}  // namespace

DibPixels copyAsDib(HBITMAP bitmap, int bitsPerPixel) {
    DibPixels pixels;
    BITMAP size{};
    if (!bitmap) return pixels;
    if (!GetObjectW(bitmap, sizeof size, &size)) throw Error(L"Cannot read the bitmap's size");
    const int width = size.bmWidth, height = std::abs(size.bmHeight);
    if (width == 0 || height == 0) return pixels;

    InfoWithColours info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = width;
    info.header.biHeight = height;  // positive: bottom row first
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bitsPerPixel);
    info.header.biCompression = BI_RGB;
    pixels.memory.resize(checkedProduct(dibStride(width, bitsPerPixel), static_cast<std::size_t>(height)));

    const WindowDC screen(nullptr);
    if (GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), pixels.memory.data(),
                  reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) != height)
        throw Error(L"Cannot read the bitmap's pixels");

    if (bitsPerPixel <= 8)
        for (int i = 0; i < (1 << bitsPerPixel); ++i)
            pixels.palette.push_back({info.colours[i].rgbBlue, info.colours[i].rgbGreen, info.colours[i].rgbRed, 0});
    pixels.view = bottomUpView(pixels.memory.data(), width, height, bitsPerPixel, pixels.palette);
    return pixels;
}

}  // namespace kadrix
