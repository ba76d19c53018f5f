#pragma once
// The JPEG writer object of the output stage: assign, set the quality, compress, save.
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/Bitmap.h"
#include "imaging/ByteSink.h"
#include "imaging/DibPixels.h"

namespace kadrix {

class TJPEGImage {
public:
    TJPEGImage() = default;
    // Drops compressed data and keeps a 24-bit working copy of the bitmap's pixels.
    void Assign(const Bitmap& bitmap);
    int compressionQuality() const noexcept { return quality_; }
    // Only stored (clamped to 1-100): it takes effect with the next Compress.
    void setCompressionQuality(int quality);
    // Replaces the compressed data; libjpeg errors throw "JPEG error #<code>".
    void Compress();
    const std::vector<std::uint8_t>& compressedData() const noexcept { return compressed_; }
    // Compresses first if nothing is compressed yet, then writes the bytes in one write,
    // so a failed compression never creates the file.
    void SaveToFile(const std::wstring& path);
    void SaveToStream(ByteSink& sink);  // the same, into a sink

private:
    DibPixels pixels_;
    int quality_ = 90;
    std::vector<std::uint8_t> compressed_;
};

}  // namespace kadrix
