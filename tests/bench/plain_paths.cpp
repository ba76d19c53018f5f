#include "plain_paths.h"

#include <zlib.h>

#include <array>
#include <cstring>

#include "libjpeg_direct.h"

namespace kadrix::bench {

namespace {

void put32(std::uint8_t* at, std::uint32_t value, bool big) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (big ? 24 - 8 * i : 8 * i));
}

void chunk(ByteSink& sink, const char* type, const std::uint8_t* data, std::size_t size) {
    std::array<std::uint8_t, 8> head{};
    put32(head.data(), static_cast<std::uint32_t>(size), true);
    std::memcpy(head.data() + 4, type, 4);
    std::array<std::uint8_t, 4> crc{};
    put32(crc.data(), crc32(crc32(0, head.data() + 4, 4), data, static_cast<uInt>(size)), true);
    sink.write(head);
    sink.write({data, size});
    sink.write(crc);
}

}  // namespace

void plainBmp(const ImageView& image, ByteSink& sink) {
    const std::size_t stride = dibStride(image.width, 24), pixels = stride * image.height;
    std::array<std::uint8_t, 54> header{'B', 'M'};
    put32(&header[2], static_cast<std::uint32_t>(54 + pixels), false);
    put32(&header[10], 54, false);
    put32(&header[14], 40, false);
    put32(&header[18], image.width, false);
    put32(&header[22], image.height, false);
    header[26] = 1;
    header[28] = 24;
    put32(&header[34], static_cast<std::uint32_t>(pixels), false);
    sink.write(header);
    sink.write({image.row(image.height - 1), pixels});
}

void plainPng(const ImageView& image, ByteSink& sink) {
    z_stream z{};
    deflateInit2(&z, 7, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
    std::vector<std::uint8_t> line(1 + 3 * std::size_t(image.width)), out(65535);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const auto drain = [&](int flush) {
        int result;
        do {
            result = deflate(&z, flush);
            if (z.avail_out == 0 || (flush == Z_FINISH && result == Z_STREAM_END)) {
                chunk(sink, "IDAT", out.data(), out.size() - z.avail_out);
                z.next_out = out.data();
                z.avail_out = static_cast<uInt>(out.size());
            }
        } while (z.avail_in > 0 || (flush == Z_FINISH && result != Z_STREAM_END));
    };
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* in = image.row(y);
        std::uint8_t* out = line.data() + 1;
        line[0] = 1;
        out[0] = in[2], out[1] = in[1], out[2] = in[0];  // blue-green-red in, red-green-blue out
        for (int x = 1; x < image.width; ++x) {
            const std::uint8_t* p = in + 3 * x;
            out[3 * x] = static_cast<std::uint8_t>(p[2] - p[-1]);
            out[3 * x + 1] = static_cast<std::uint8_t>(p[1] - p[-2]);
            out[3 * x + 2] = static_cast<std::uint8_t>(p[0] - p[-3]);
        }
        z.next_in = line.data();
        z.avail_in = static_cast<uInt>(line.size());
        drain(Z_NO_FLUSH);
    }
    drain(Z_FINISH);
    deflateEnd(&z);
}

std::size_t plainJpeg(const ImageView& image, int quality) {
    return test::libjpegDirect(image.width, image.height, JCS_EXT_BGR, quality, JDCT_FLOAT,
                               [&image](int y) { return image.row(y); });
}

}  // namespace kadrix::bench
