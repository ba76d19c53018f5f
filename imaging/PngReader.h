#pragma once
// Reads the program's own artwork: 8-bit RGB or RGBA PNGs without interlacing.
#include <cstdint>
#include <span>
#include <vector>

namespace kadrix {

struct DecodedPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgra;  // top row first, 4 bytes a pixel, colour premultiplied by alpha
};

// Throws kadrix::Error naming the fault for anything else or for a damaged file
// (wrong signature, bad chunk CRC, truncated or overlong data, unknown filter).
DecodedPicture decodePng(std::span<const std::uint8_t> file);

}  // namespace kadrix
