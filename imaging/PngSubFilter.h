#pragma once
#include <cstdint>

#include "imaging/ImageView.h"

namespace kadrix {

// One row `in` of `shape`'s pixels in PNG byte order (red, green, blue; indices as they
// are), Sub-filtered in the same pass: out[i] = raw[i] - raw[i - bytes per pixel]. `out`
// holds the PNG row bytes. For 8 bits or fewer, 24 and 32 bits per pixel.
void subFilterRow(const PictureShape& shape, const std::uint8_t* in, std::uint8_t* out);

}  // namespace kadrix
