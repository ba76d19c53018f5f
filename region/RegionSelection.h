#pragma once
#include <memory>

#include "imaging/Bitmap.h"

namespace kadrix {

// Shows an overlay over every monitor, in the screen's real pixels whatever the calling
// thread's DPI awareness, and lets the user frame a rectangle on it. The framed pixels,
// or null when the user gave up.
std::unique_ptr<Bitmap> SelectScreenRegion();

}  // namespace kadrix
