#include "imaging/DibRows.h"

#include <cstdlib>
#include <vector>

#include "app/Error.h"
#include "app/Win32Handles.h"

namespace kadrix {

namespace {

struct InfoWithColours {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

}  // namespace

void readDibRows(HBITMAP bitmap, int bitsPerPixel, const std::function<void(PixelRows&)>& read) {
    BITMAP size{};
    if (bitmap && !GetObjectW(bitmap, sizeof size, &size)) throw Error(L"Cannot read the bitmap's size");
    const int width = size.bmWidth, height = std::abs(size.bmHeight);
    if (width == 0 || height == 0) {
        ViewRows none{ImageView{}};
        return read(none);
    }

    InfoWithColours info{};
    const WindowDC screen(nullptr);
    const auto fetch = [&](int first, int count, std::uint8_t* out) {
        info.header = {};
        info.header.biSize = sizeof info.header;
        info.header.biWidth = width;
        info.header.biHeight = height;  // positive: scan 0 is the bottom row
        info.header.biPlanes = 1;
        info.header.biBitCount = static_cast<WORD>(bitsPerPixel);
        info.header.biCompression = BI_RGB;
        if (GetDIBits(screen.get(), bitmap, static_cast<UINT>(first), static_cast<UINT>(count), out,
                      reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) != count)
            throw Error(L"Cannot read the bitmap's pixels");
    };

    // The colour table comes with the pixels, and a PNG or BMP needs it before the first row.
    std::vector<PaletteEntry> palette;
    if (bitsPerPixel <= 8) {
        std::vector<std::uint8_t> scan(dibStride(width, bitsPerPixel));
        fetch(0, 1, scan.data());
        for (int i = 0; i < (1 << bitsPerPixel); ++i)
            palette.push_back({info.colours[i].rgbBlue, info.colours[i].rgbGreen, info.colours[i].rgbRed, 0});
    }
    BandedRows rows({width, height, bitsPerPixel, palette}, fetch);
    read(rows);
}

}  // namespace kadrix
