#pragma once
// Reads PNG files the independent way (libpng, zlib directly) for the PNG tests.
#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kadrix::test {

struct PngChunk {
    std::string type;
    std::vector<std::uint8_t> data;
    bool crcMatches = false;
};

inline std::uint32_t big32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

inline std::vector<PngChunk> pngChunks(const std::vector<std::uint8_t>& file) {
    std::vector<PngChunk> chunks;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::uint32_t length = big32(&file[at]);
        if (at + 12 + length > file.size()) throw std::runtime_error("chunk runs past the end");
        PngChunk chunk{std::string(file.begin() + at + 4, file.begin() + at + 8),
                       std::vector<std::uint8_t>(file.begin() + at + 8, file.begin() + at + 8 + length)};
        chunk.crcMatches = crc32(0, &file[at + 4], length + 4) == big32(&file[at + 8 + length]);
        chunks.push_back(std::move(chunk));
        at += 12 + length;
    }
    return chunks;
}

inline std::vector<std::uint8_t> idatStream(const std::vector<PngChunk>& chunks) {
    std::vector<std::uint8_t> stream;
    for (const PngChunk& chunk : chunks)
        if (chunk.type == "IDAT") stream.insert(stream.end(), chunk.data.begin(), chunk.data.end());
    return stream;
}

inline std::vector<std::uint8_t> inflateAll(const std::vector<std::uint8_t>& stream, std::size_t expected) {
    std::vector<std::uint8_t> out(expected + 16);
    uLongf size = out.size();
    if (uncompress(out.data(), &size, stream.data(), stream.size()) != Z_OK) throw std::runtime_error("inflate failed");
    out.resize(size);
    return out;
}

// libpng's own reading of a file, as 8-bit RGB (palette expanded) or RGBA rows.
struct LibpngPicture {
    png_uint_32 width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
};

inline LibpngPicture decodeWithLibpng(const std::vector<std::uint8_t>& file, png_uint_32 format) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size()))
        throw std::runtime_error(std::string("libpng: ") + image.message);
    image.format = format;
    LibpngPicture picture{image.width, image.height, std::vector<std::uint8_t>(PNG_IMAGE_SIZE(image))};
    if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr))
        throw std::runtime_error(std::string("libpng: ") + image.message);
    return picture;
}

}  // namespace kadrix::test
