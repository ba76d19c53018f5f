#include "imaging/PngReader.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "app/Error.h"
#include "imaging/ImageView.h"
#include "imaging/LittleEndian.h"
#include "imaging/PngFormat.h"

namespace kadrix {

namespace {

// Far above any artwork; keeps a hostile header from asking for gigabytes.
constexpr std::uint32_t kMaxSide = 16384;

[[noreturn]] void fail(const wchar_t* reason) { throw Error(std::wstring(L"PNG: ") + reason); }

struct Header {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int channels = 0;  // 3 for RGB, 4 for RGBA
};

Header parseHeader(std::span<const std::uint8_t> data) {
    if (data.size() != 13) fail(L"bad IHDR length");
    Header header{getBig32(data.data()), getBig32(data.data() + 4), 0};
    if (header.width == 0 || header.height == 0) fail(L"empty picture");
    if (header.width > kMaxSide || header.height > kMaxSide) fail(L"picture too large");
    const std::uint8_t depth = data[8], colourType = data[9];
    if (depth != 8 || (colourType != 2 && colourType != 6)) fail(L"only 8-bit RGB and RGBA are supported");
    if (data[10] != 0 || data[11] != 0) fail(L"unknown compression or filter method");
    if (data[12] != 0) fail(L"interlaced pictures are not supported");
    header.channels = colourType == 2 ? 3 : 4;
    return header;
}

// The zlib stream must fill the scanlines exactly: no less, no more.
std::vector<std::uint8_t> inflateScanlines(std::span<const std::uint8_t> compressed, std::size_t expected) {
    std::vector<std::uint8_t> out(expected + 1);  // one spare byte reveals surplus data
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) fail(L"cannot start the decompressor");
    stream.next_in = const_cast<Bytef*>(compressed.data());
    stream.avail_in = static_cast<uInt>(compressed.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&stream, Z_FINISH);
    const std::size_t produced = out.size() - stream.avail_out;
    inflateEnd(&stream);
    if (result != Z_STREAM_END) fail(produced > expected ? L"too much image data" : L"damaged or truncated image data");
    if (produced != expected) fail(produced > expected ? L"too much image data" : L"image data too short");
    out.pop_back();
    return out;
}

std::uint8_t paeth(int left, int up, int upLeft) {
    const int estimate = left + up - upLeft;
    const int toLeft = std::abs(estimate - left), toUp = std::abs(estimate - up), toUpLeft = std::abs(estimate - upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft) return static_cast<std::uint8_t>(left);
    return static_cast<std::uint8_t>(toUp <= toUpLeft ? up : upLeft);
}

void unfilterRow(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* previous, std::size_t bytes, int bpp) {
    for (std::size_t i = 0; i < bytes; ++i) {
        const int left = i >= static_cast<std::size_t>(bpp) ? row[i - bpp] : 0;
        const int up = previous ? previous[i] : 0;
        const int upLeft = previous && i >= static_cast<std::size_t>(bpp) ? previous[i - bpp] : 0;
        int predicted = 0;
        switch (filter) {
        case 0: break;
        case 1: predicted = left; break;
        case 2: predicted = up; break;
        case 3: predicted = (left + up) / 2; break;
        case 4: predicted = paeth(left, up, upLeft); break;
        default: fail(L"unknown row filter");
        }
        row[i] = static_cast<std::uint8_t>(row[i] + predicted);
    }
}

std::uint8_t premultiply(std::uint8_t colour, std::uint8_t alpha) {
    return static_cast<std::uint8_t>((colour * alpha + 127) / 255);
}

}  // namespace

DecodedPicture decodePng(std::span<const std::uint8_t> file) {
    if (file.size() < kPngSignature.size() || !std::equal(kPngSignature.begin(), kPngSignature.end(), file.begin()))
        fail(L"not a PNG file");

    Header header;
    std::vector<std::uint8_t> compressed;
    bool ended = false;
    for (std::size_t at = kPngSignature.size(); !ended;) {
        if (file.size() - at < 12) fail(L"truncated file");
        const std::uint32_t length = getBig32(file.data() + at);
        if (length > file.size() - at - 12) fail(L"truncated file");
        const std::uint8_t* type = file.data() + at + 4;
        const std::span<const std::uint8_t> data = file.subspan(at + 8, length);
        const uLong crc = crc32_z(crc32(0, type, 4), data.data(), data.size());
        if (crc != getBig32(data.data() + length)) fail(L"chunk CRC mismatch");
        at += 12 + std::size_t{length};

        const std::string name(reinterpret_cast<const char*>(type), 4);
        const bool first = header.channels == 0;
        if (first != (name == "IHDR")) fail(L"IHDR must come first, and once");
        if (name == "IHDR") header = parseHeader(data);
        else if (name == "IDAT") compressed.insert(compressed.end(), data.begin(), data.end());
        else if (name == "IEND") ended = true;
        else if (name != "PLTE" && (type[0] & 0x20) == 0) fail(L"unknown critical chunk");
    }
    if (compressed.empty()) fail(L"no image data");

    const std::size_t rowBytes = std::size_t{header.width} * header.channels;
    std::vector<std::uint8_t> lines = inflateScanlines(compressed, (rowBytes + 1) * header.height);

    DecodedPicture picture{static_cast<int>(header.width), static_cast<int>(header.height),
                           std::vector<std::uint8_t>(checkedProduct(std::size_t{header.width} * header.height, 4))};
    const std::uint8_t* previous = nullptr;
    for (std::uint32_t y = 0; y < header.height; ++y) {
        std::uint8_t* line = lines.data() + y * (rowBytes + 1);
        std::uint8_t* row = line + 1;
        unfilterRow(line[0], row, previous, rowBytes, header.channels);
        previous = row;

        std::uint8_t* out = picture.bgra.data() + std::size_t{y} * header.width * 4;
        for (std::uint32_t x = 0; x < header.width; ++x, row += header.channels, out += 4) {
            const std::uint8_t alpha = header.channels == 4 ? row[3] : 255;
            out[0] = premultiply(row[2], alpha);
            out[1] = premultiply(row[1], alpha);
            out[2] = premultiply(row[0], alpha);
            out[3] = alpha;
        }
    }
    return picture;
}

}  // namespace kadrix
