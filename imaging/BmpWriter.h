#pragma once
#include "imaging/ByteSink.h"
#include "imaging/PixelRows.h"

namespace kadrix {

// Writes a BI_RGB bitmap file (rows bottom-up, each padded with zeros to 4 bytes,
// a full colour table at 8 bits or fewer). An empty picture writes nothing. The pixels go
// to the sink straight from `rows`: in one write when they are already the file's pixel
// array, else row by row, bottom row first.
void writeBmp(PixelRows& rows, ByteSink& sink);

inline void writeBmp(const ImageView& image, ByteSink& sink) {
    ViewRows rows(image);
    writeBmp(rows, sink);
}

}  // namespace kadrix
