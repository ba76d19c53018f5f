#pragma once
#include <memory>

#include "imaging/Bitmap.h"

namespace kadrix {

// Blends the current cursor into `target` at its screen position minus the hot spot,
// holding its colour bitmap in `cursor_slot` meanwhile. Monochrome cursors (no colour
// bitmap) are not drawn; both icon bitmaps are released on every path.
void DrawCursor(Bitmap& target, std::unique_ptr<Bitmap>& cursor_slot);

}  // namespace kadrix
