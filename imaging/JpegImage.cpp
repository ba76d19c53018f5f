#include "imaging/JpegImage.h"

#include <algorithm>

#include "imaging/FileSink.h"
#include "imaging/JpegWriter.h"

namespace kadrix {

void TJPEGImage::Assign(const Bitmap& bitmap) noexcept {
    compressed_.clear();
    bitmap_ = &bitmap;
}

void TJPEGImage::setCompressionQuality(int quality) { quality_ = std::clamp(quality, 1, 100); }

void TJPEGImage::Compress() {
    compressed_.clear();
    if (!bitmap_ || bitmap_->empty()) return;
    bitmap_->readRows(24, [&](PixelRows& rows) { compressed_ = compressJpeg(rows, quality_); });
}

void TJPEGImage::SaveToFile(const std::wstring& path) {
    if (compressed_.empty()) Compress();
    FileSink file(path);
    SaveToStream(file);
    file.commit();
}

void TJPEGImage::SaveToStream(ByteSink& sink) {
    if (compressed_.empty()) Compress();
    sink.write(compressed_);
}

}  // namespace kadrix
