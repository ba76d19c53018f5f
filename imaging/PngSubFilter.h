#pragma once
#include <cstdint>

#include "imaging/ImageView.h"

namespace kadrix {

// Row y in PNG byte order (red, green, blue; indices as they are), Sub-filtered in the
// same pass: out[i] = raw[i] - raw[i - bytes per pixel]. `out` holds the PNG row bytes.
// For 8 bits or fewer, 24 and 32 bits per pixel.
void subFilterRow(const ImageView& image, int y, std::uint8_t* out);

}  // namespace kadrix
