#include "imaging/BmpWriter.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include "app/Error.h"
#include "imaging/LittleEndian.h"

namespace kadrix {

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = 40;

std::vector<std::uint8_t> colourTable(const PictureShape& image) {
    if (image.bitsPerPixel > 8) return {};
    // A display bitmap always has the full table; missing entries are black.
    std::vector<std::uint8_t> table((std::size_t{1} << image.bitsPerPixel) * 4, 0);
    for (std::size_t i = 0; i < image.palette.size(); ++i) {
        table[i * 4] = image.palette[i].blue;
        table[i * 4 + 1] = image.palette[i].green;
        table[i * 4 + 2] = image.palette[i].red;
    }
    return table;
}

// Memory may hold anything in a row's padding; the file holds zeros there.
bool paddingIsZero(std::span<const std::uint8_t> pixelArray, std::size_t stride, std::size_t used) {
    if (stride == used) return true;
    for (std::size_t at = used; at < pixelArray.size(); at += stride)
        if (std::any_of(pixelArray.begin() + at, pixelArray.begin() + at + (stride - used), [](auto b) { return b != 0; }))
            return false;
    return true;
}

}  // namespace

void writeBmp(PixelRows& rows, ByteSink& sink) {
    const PictureShape& image = rows.shape();
    if (image.empty()) return;

    const std::size_t stride = dibStride(image.width, image.bitsPerPixel);
    const std::size_t pixelBytes = checkedProduct(stride, static_cast<std::size_t>(image.height));
    const std::vector<std::uint8_t> table = colourTable(image);
    const std::size_t offBits = kFileHeaderBytes + kInfoHeaderBytes + table.size();
    if (pixelBytes > std::numeric_limits<std::uint32_t>::max() - offBits)
        throw Error(L"The picture is too large for a BMP file");

    std::array<std::uint8_t, kFileHeaderBytes + kInfoHeaderBytes> header{};
    std::uint8_t* h = header.data();
    h[0] = 'B';
    h[1] = 'M';
    putLittle32(h + 2, static_cast<std::uint32_t>(offBits + pixelBytes));
    putLittle32(h + 10, static_cast<std::uint32_t>(offBits));
    putLittle32(h + 14, kInfoHeaderBytes);
    putLittle32(h + 18, static_cast<std::uint32_t>(image.width));
    putLittle32(h + 22, static_cast<std::uint32_t>(image.height));
    putLittle16(h + 26, 1);
    putLittle16(h + 28, static_cast<std::uint32_t>(image.bitsPerPixel));
    putLittle32(h + 34, static_cast<std::uint32_t>(pixelBytes));
    putLittle32(h + 46, static_cast<std::uint32_t>(table.size() / 4));
    sink.write(header);
    if (!table.empty()) sink.write(table);

    const std::size_t used = packedRowBytes(image.width, image.bitsPerPixel);
    if (const auto pixelArray = rows.dibPixelArray(); !pixelArray.empty() && paddingIsZero(pixelArray, stride, used))
        return sink.write(pixelArray);
    static constexpr std::array<std::uint8_t, 3> kPadding{};
    const std::span<const std::uint8_t> padding(kPadding.data(), stride - used);
    for (int y = image.height - 1; y >= 0; --y) {
        sink.write({rows.row(y), used});
        if (!padding.empty()) sink.write(padding);
    }
}

}  // namespace kadrix
