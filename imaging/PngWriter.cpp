#include "imaging/PngWriter.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "app/Error.h"
#include "imaging/LittleEndian.h"
#include "imaging/PngFormat.h"
#include "imaging/PngSubFilter.h"

namespace kadrix {

namespace {

constexpr std::size_t kIdatPieceBytes = 65535;
constexpr int kDeflateLevel = 7;

void writeChunk(ByteSink& sink, const char (&type)[5], std::span<const std::uint8_t> data) {
    std::array<std::uint8_t, 8> head{};
    putBig32(head.data(), static_cast<std::uint32_t>(data.size()));
    std::copy_n(type, 4, head.begin() + 4);
    uLong crc = crc32(0, head.data() + 4, 4);
    if (!data.empty()) crc = crc32_z(crc, data.data(), data.size());
    std::array<std::uint8_t, 4> tail{};
    putBig32(tail.data(), static_cast<std::uint32_t>(crc));
    sink.write(head);
    sink.write(data);
    sink.write(tail);
}

// One zlib stream cut into IDAT chunks each time the output buffer fills.
class IdatStream {
public:
    explicit IdatStream(ByteSink& sink) : sink_(sink), buffer_(kIdatPieceBytes) {
        if (deflateInit(&stream_, kDeflateLevel) != Z_OK) throw Error(L"PNG: cannot start the compressor");
        stream_.next_out = buffer_.data();
        stream_.avail_out = static_cast<uInt>(buffer_.size());
    }
    IdatStream(const IdatStream&) = delete;
    IdatStream& operator=(const IdatStream&) = delete;
    ~IdatStream() { deflateEnd(&stream_); }

    void feed(std::span<const std::uint8_t> bytes) {
        stream_.next_in = const_cast<Bytef*>(bytes.data());
        // Rows are fed whole, but zlib counts in uInt: hand over a very wide row in parts.
        std::size_t left = bytes.size();
        while (left > 0 || stream_.avail_in > 0) {
            if (stream_.avail_in == 0) {
                stream_.avail_in = static_cast<uInt>(std::min<std::size_t>(left, 1u << 30));
                left -= stream_.avail_in;
            }
            deflateStep(Z_NO_FLUSH);
        }
    }

    void finish() {
        while (deflateStep(Z_FINISH) != Z_STREAM_END) {}
        if (pending() > 0) emit();
    }

private:
    int deflateStep(int flush) {
        const int result = deflate(&stream_, flush);
        if (result != Z_OK && result != Z_STREAM_END)
            throw Error(L"PNG: compression failed");
        if (stream_.avail_out == 0) emit();
        return result;
    }
    std::size_t pending() const { return buffer_.size() - stream_.avail_out; }
    void emit() {
        writeChunk(sink_, "IDAT", std::span(buffer_.data(), pending()));
        stream_.next_out = buffer_.data();
        stream_.avail_out = static_cast<uInt>(buffer_.size());
    }

    ByteSink& sink_;
    std::vector<std::uint8_t> buffer_;
    z_stream stream_{};
};

}  // namespace

void writePng(PixelRows& rows, ByteSink& sink) {
    const PictureShape& image = rows.shape();
    if (image.empty()) return;
    if (image.bitsPerPixel == 16) throw Error(L"PNG: 16-bit pixels must be converted to 24 bits first");
    const bool indexed = image.bitsPerPixel < 16;
    const std::size_t rowBytes = indexed ? packedRowBytes(image.width, image.bitsPerPixel)
                                         : checkedProduct(static_cast<std::size_t>(image.width), 3);

    sink.write(kPngSignature);
    std::array<std::uint8_t, 13> header{};
    putBig32(header.data(), static_cast<std::uint32_t>(image.width));
    putBig32(header.data() + 4, static_cast<std::uint32_t>(image.height));
    header[8] = static_cast<std::uint8_t>(indexed ? image.bitsPerPixel : 8);
    header[9] = indexed ? 3 : 2;
    writeChunk(sink, "IHDR", header);

    if (indexed) {
        std::vector<std::uint8_t> palette((std::size_t{1} << image.bitsPerPixel) * 3, 0);
        for (std::size_t i = 0; i < image.palette.size(); ++i) {
            palette[i * 3] = image.palette[i].red;
            palette[i * 3 + 1] = image.palette[i].green;
            palette[i * 3 + 2] = image.palette[i].blue;
        }
        writeChunk(sink, "PLTE", palette);
    }

    IdatStream idat(sink);
    // The filter-type byte leads the filtered row in one buffer: one deflate call a row.
    constexpr std::uint8_t kSubFilter = 1;
    std::vector<std::uint8_t> line(rowBytes + 1);
    line[0] = kSubFilter;
    for (int y = 0; y < image.height; ++y) {
        subFilterRow(image, rows.row(y), line.data() + 1);
        idat.feed(line);
    }
    idat.finish();
    writeChunk(sink, "IEND", {});
}

}  // namespace kadrix
