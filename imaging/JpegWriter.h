#pragma once
#include "imaging/JpegBytes.h"
#include "imaging/PixelRows.h"

namespace kadrix {

// Baseline JPEG of a 24- or 32-bit picture: libjpeg defaults, floating-point DCT,
// the given quality (1-100) forced to baseline tables. An empty picture gives no bytes.
// A libjpeg error throws kadrix::Error "JPEG error #<code>"; warnings are ignored.
// The rows are read from `rows` top to bottom, as they are; the result is the only copy.
JpegBytes compressJpeg(PixelRows& rows, int quality);

inline JpegBytes compressJpeg(const ImageView& image, int quality) {
    ViewRows rows(image);
    return compressJpeg(rows, quality);
}

}  // namespace kadrix
