#pragma once
// A bitmap's pixels as device-independent rows, by the platform's own conversion, a band
// of rows at a time.
#include <windows.h>

#include <functional>

#include "imaging/PixelRows.h"

namespace kadrix {

// Rows of `bitsPerPixel` (16 means 5-5-5; 8 and fewer come with the colour table) read by
// GetDIBits, which wants `bitmap` selected into no DC; `read` runs while they can be read.
// A null or empty bitmap gives an empty picture; throws kadrix::Error on failure.
void readDibRows(HBITMAP bitmap, int bitsPerPixel, const std::function<void(PixelRows&)>& read);

}  // namespace kadrix
