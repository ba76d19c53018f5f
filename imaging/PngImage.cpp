#include "imaging/PngImage.h"

#include "imaging/FileSink.h"
#include "imaging/PngWriter.h"

namespace kadrix {

void TPngImage::Assign(const Bitmap& bitmap) {
    const int bits = bitmap.bitsPerPixel();
    pixels_ = bitmap.copyPixels(bits < 16 ? bits : 24);
}

void TPngImage::SaveToFile(const std::wstring& path) const {
    FileSink file(path);
    SaveToStream(file);
    file.commit();
}

void TPngImage::SaveToStream(ByteSink& sink) const { writePng(pixels_.view, sink); }

}  // namespace kadrix
