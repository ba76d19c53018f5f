#pragma once
// A bitmap's pixels as a device-independent bitmap, by the platform's own conversion.
#include <windows.h>

#include <vector>

#include "imaging/ImageView.h"

namespace kadrix {

// Owns the copied pixels and palette that `view` points into, so it moves but never copies.
struct DibPixels {
    DibPixels() = default;
    DibPixels(DibPixels&&) = default;
    DibPixels& operator=(DibPixels&&) = default;
    DibPixels(const DibPixels&) = delete;
    DibPixels& operator=(const DibPixels&) = delete;

    std::vector<std::uint8_t> memory;
    std::vector<PaletteEntry> palette;
    ImageView view;
};

// GetDIBits into bottom-up rows of `bitsPerPixel` (16 means 5-5-5; 8 and fewer come with
// the colour table). A null bitmap gives an empty picture; throws kadrix::Error on failure.
DibPixels copyAsDib(HBITMAP bitmap, int bitsPerPixel);

}  // namespace kadrix
