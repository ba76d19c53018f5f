#pragma once
#include "imaging/ByteSink.h"
#include "imaging/ImageView.h"

namespace kadrix {

// Writes a BI_RGB bitmap file (rows bottom-up, each padded with zeros to 4 bytes,
// a full colour table at 8 bits or fewer). An empty picture writes nothing.
void writeBmp(const ImageView& image, ByteSink& sink);

}  // namespace kadrix
