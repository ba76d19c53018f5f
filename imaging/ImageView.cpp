#include "imaging/ImageView.h"

#include <limits>

#include "app/Error.h"

namespace kadrix {

namespace {

bool isSupportedBitCount(int bits) {
    switch (bits) {
    case 1: case 2: case 4: case 8: case 16: case 24: case 32: return true;
    default: return false;
    }
}

}  // namespace

std::size_t checkedProduct(std::size_t a, std::size_t b) {
    if (b != 0 && a > std::numeric_limits<std::size_t>::max() / b)
        throw Error(L"The picture is too large");
    return a * b;
}

std::size_t packedRowBytes(int width, int bitsPerPixel) {
    return (checkedProduct(static_cast<std::size_t>(width), static_cast<std::size_t>(bitsPerPixel)) + 7) / 8;
}

std::size_t dibStride(int width, int bitsPerPixel) {
    return (checkedProduct(static_cast<std::size_t>(width), static_cast<std::size_t>(bitsPerPixel)) + 31) / 32 * 4;
}

ImageView bottomUpView(const std::uint8_t* bits, int width, int height, int bitsPerPixel,
                       std::span<const PaletteEntry> palette) {
    const auto stride = static_cast<std::ptrdiff_t>(dibStride(width, bitsPerPixel));
    ImageView view{width, height, bitsPerPixel, bits, -stride, palette};
    if (height > 0) view.top = bits + (height - 1) * stride;
    return view;
}

void checkShape(const PictureShape& shape) {
    if (shape.width < 0 || shape.height < 0) throw Error(L"The picture has a negative size");
    if (!isSupportedBitCount(shape.bitsPerPixel)) throw Error(L"Unsupported pixel format");
    if (shape.bitsPerPixel <= 8 && shape.palette.size() > (std::size_t{1} << shape.bitsPerPixel))
        throw Error(L"The palette has more colours than the pixels can index");
}

void checkView(const ImageView& view) {
    checkShape(view.shape());
    if (view.empty()) return;
    if (!view.top) throw Error(L"The picture has no pixels");
    const std::size_t rowBytes = packedRowBytes(view.width, view.bitsPerPixel);
    const std::size_t step = static_cast<std::size_t>(view.stride < 0 ? -view.stride : view.stride);
    if (step < rowBytes && view.height > 1) throw Error(L"The picture's rows overlap");
}

}  // namespace kadrix
