#pragma once
#include "imaging/ByteSink.h"
#include "imaging/PixelRows.h"

namespace kadrix {

// Writes a PNG file: IHDR, PLTE below 16 bits per pixel, IDAT pieces of 65535 bytes
// (the last one shorter), IEND. Deflate level 7, Sub filter on every row; 24- and
// 32-bit pictures become 8-bit truecolour; 16-bit ones are refused (convert them first).
// An empty picture writes nothing. Besides zlib's state it keeps one filtered row and the
// 65535-byte output piece; the rows are read from `rows` top to bottom.
void writePng(PixelRows& rows, ByteSink& sink);

inline void writePng(const ImageView& image, ByteSink& sink) {
    ViewRows rows(image);
    writePng(rows, sink);
}

}  // namespace kadrix
