#include "imaging/PngImage.h"

#include "imaging/FileSink.h"
#include "imaging/PngWriter.h"

namespace kadrix {

void TPngImage::SaveToFile(const std::wstring& path) const {
    FileSink file(path);
    SaveToStream(file);
    file.commit();
}

void TPngImage::SaveToStream(ByteSink& sink) const {
    if (!bitmap_ || bitmap_->empty()) return;
    const int bits = bitmap_->bitsPerPixel();
    bitmap_->readRows(bits < 16 ? bits : 24, [&](PixelRows& rows) { writePng(rows, sink); });
}

}  // namespace kadrix
