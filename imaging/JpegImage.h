#pragma once
// The JPEG writer object of the output stage: assign, set the quality, compress, save.
#include <string>

#include "imaging/Bitmap.h"
#include "imaging/ByteSink.h"
#include "imaging/JpegBytes.h"

namespace kadrix {

// Keeps a reference to the assigned bitmap instead of a working copy: the bitmap must
// outlive the writer and stay unchanged until the last Compress or SaveToFile has returned
// (the output stage never changes the capture while a writer exists).
class TJPEGImage {
public:
    TJPEGImage() = default;
    // Drops compressed data.
    void Assign(const Bitmap& bitmap) noexcept;
    void Assign(const Bitmap&&) = delete;  // a temporary would be gone before Compress
    int compressionQuality() const noexcept { return quality_; }
    // Only stored (clamped to 1-100): it takes effect with the next Compress.
    void setCompressionQuality(int quality);
    // Replaces the compressed data; libjpeg errors throw "JPEG error #<code>".
    void Compress();
    const JpegBytes& compressedData() const noexcept { return compressed_; }
    // Compresses first if nothing is compressed yet, then writes the bytes in one write,
    // so a failed compression never creates the file.
    void SaveToFile(const std::wstring& path);
    void SaveToStream(ByteSink& sink);  // the same, into a sink

private:
    const Bitmap* bitmap_ = nullptr;
    int quality_ = 90;
    JpegBytes compressed_;
};

}  // namespace kadrix
