#pragma once
// Pictures with known pixels for the encoder tests, in DIB memory like the program's.
#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "imaging/ImageView.h"

namespace kadrix::test {

struct OwnedPicture {
    std::vector<std::uint8_t> memory;
    std::vector<PaletteEntry> palette;
    ImageView view;
};

// Random pixels; the padding after each row holds 0xAA so a writer that copies it shows up.
inline OwnedPicture randomPicture(int width, int height, int bitsPerPixel, unsigned seed = 1,
                                  bool bottomUp = true) {
    OwnedPicture picture;
    const std::size_t stride = dibStride(width, bitsPerPixel);
    const std::size_t used = packedRowBytes(width, bitsPerPixel);
    picture.memory.assign(stride * static_cast<std::size_t>(height), 0xAA);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y)
        for (std::size_t i = 0; i < used; ++i) picture.memory[y * stride + i] = static_cast<std::uint8_t>(random());
    if (bitsPerPixel <= 8)
        for (int i = 0; i < (1 << bitsPerPixel); ++i)
            picture.palette.push_back({static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()),
                                       static_cast<std::uint8_t>(random()), 0x55});
    if (bottomUp) {
        picture.view = bottomUpView(picture.memory.data(), width, height, bitsPerPixel, picture.palette);
    } else {
        picture.view = ImageView{width, height, bitsPerPixel, picture.memory.data(),
                                 static_cast<std::ptrdiff_t>(stride), picture.palette};
    }
    return picture;
}

// Red, green and blue of one pixel as the picture means it (palette looked up).
inline std::array<std::uint8_t, 3> rgbAt(const ImageView& view, int x, int y) {
    const std::uint8_t* row = view.row(y);
    if (view.bitsPerPixel >= 24) {
        const std::uint8_t* p = row + x * (view.bitsPerPixel / 8);
        return {p[2], p[1], p[0]};
    }
    const int bits = view.bitsPerPixel;
    const int bit = x * bits;
    const int index = row[bit / 8] >> (8 - bits - bit % 8) & ((1 << bits) - 1);
    const PaletteEntry& entry = view.palette[index];
    return {entry.red, entry.green, entry.blue};
}

}  // namespace kadrix::test
