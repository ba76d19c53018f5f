#pragma once
// The desktop and active-window grabs, in the screen's real pixels whatever the
// calling thread's DPI awareness: one block transfer into the reused capture bitmap.
#include <memory>

#include "imaging/Bitmap.h"

namespace kadrix {

// The primary monitor, 24 bits per pixel; with the cursor drawn in when a slot for its
// picture is given, which is emptied again afterwards.
void GrabPrimaryMonitor(Bitmap& target, std::unique_ptr<Bitmap>* cursor_slot = nullptr);

// The window's screen area, in the bitmap's current pixel format. False, with the
// bitmap untouched, when there is no window or it is hidden.
bool GrabWindow(Bitmap& target, HWND window);

}  // namespace kadrix
