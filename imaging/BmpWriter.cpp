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

std::vector<std::uint8_t> colourTable(const ImageView& image) {
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

}  // namespace

void writeBmp(const ImageView& image, ByteSink& sink) {
    checkView(image);
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
    sink.write(table);

    // Rows go through one buffer so the padding is zero whatever the source memory holds there.
    const std::size_t used = packedRowBytes(image.width, image.bitsPerPixel);
    std::vector<std::uint8_t> row(stride, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        std::copy_n(image.row(y), used, row.begin());
        sink.write(row);
    }
}

}  // namespace kadrix
