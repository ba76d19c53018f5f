#include "imaging/PngSubFilter.h"

namespace kadrix {

namespace {

// Each output byte depends on two input bytes only; nothing is carried from pixel to pixel.
template <int Step>
void subFilterTruecolour(const std::uint8_t* __restrict in, std::uint8_t* __restrict out, int width) {
    out[0] = in[2];
    out[1] = in[1];
    out[2] = in[0];
    for (int x = 1; x < width; ++x) {
        const std::uint8_t* pixel = in + x * Step;
        const std::uint8_t* left = pixel - Step;
        std::uint8_t* o = out + x * 3;
        o[0] = static_cast<std::uint8_t>(pixel[2] - left[2]);
        o[1] = static_cast<std::uint8_t>(pixel[1] - left[1]);
        o[2] = static_cast<std::uint8_t>(pixel[0] - left[0]);
    }
}

}  // namespace

void subFilterRow(const PictureShape& shape, const std::uint8_t* in, std::uint8_t* out) {
    switch (shape.bitsPerPixel) {
    case 24: return subFilterTruecolour<3>(in, out, shape.width);
    case 32: return subFilterTruecolour<4>(in, out, shape.width);
    default: {  // packed indices: one byte per complete pixel for filtering
        const std::size_t rowBytes = packedRowBytes(shape.width, shape.bitsPerPixel);
        out[0] = in[0];
        for (std::size_t i = 1; i < rowBytes; ++i) out[i] = static_cast<std::uint8_t>(in[i] - in[i - 1]);
        return;
    }
    }
}

}  // namespace kadrix
