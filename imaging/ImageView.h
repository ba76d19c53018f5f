#pragma once
// A borrowed picture in device-independent bitmap terms, so the encoders never see GDI.
#include <cstddef>
#include <cstdint>
#include <span>

namespace kadrix {

// Colour-table entry in the order a DIB stores it.
struct PaletteEntry {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t reserved = 0;
};

// Size and pixel format of a picture. Pixels by bit count: 1, 2, 4 or 8 index a palette;
// 16 is one little-endian word with 5 bits each of red, green and blue (blue lowest);
// 24 is blue, green, red; 32 is blue, green, red and a fourth byte that carries no colour.
struct PictureShape {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 24;
    std::span<const PaletteEntry> palette;

    bool empty() const noexcept { return width <= 0 || height <= 0; }
};

// A picture in memory, in the pixel format of PictureShape.
struct ImageView {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 24;
    const std::uint8_t* top = nullptr;  // first byte of the top image row
    std::ptrdiff_t stride = 0;          // from one row to the next one down; negative for bottom-up memory
    std::span<const PaletteEntry> palette;

    bool empty() const noexcept { return width <= 0 || height <= 0; }
    const std::uint8_t* row(int y) const noexcept { return top + y * stride; }
    PictureShape shape() const noexcept { return {width, height, bitsPerPixel, palette}; }
};

// Bytes of a DIB row: padded to whole 32-bit words.
std::size_t dibStride(int width, int bitsPerPixel);

// Bytes that hold a row's pixels, without the padding.
std::size_t packedRowBytes(int width, int bitsPerPixel);

// A view over DIB memory, whose rows are stored bottom row first.
ImageView bottomUpView(const std::uint8_t* bits, int width, int height, int bitsPerPixel,
                       std::span<const PaletteEntry> palette = {});

// Throw kadrix::Error when the shape, or the view with its memory, describes no valid picture.
void checkShape(const PictureShape& shape);
void checkView(const ImageView& view);

// a × b, or kadrix::Error when the product does not fit.
std::size_t checkedProduct(std::size_t a, std::size_t b);

}  // namespace kadrix
