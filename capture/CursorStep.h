#pragma once
#include <windows.h>

#include <memory>

#include "imaging/Bitmap.h"

namespace kadrix {

// The system calls the cursor step asks; a test can put a stricter one in their place.
struct CursorQuery {
    BOOL(WINAPI* cursorInfo)(PCURSORINFO) = ::GetCursorInfo;
    BOOL(WINAPI* iconInfo)(HICON, PICONINFO) = ::GetIconInfo;
};

// Blends the current cursor into `target` at its screen position minus the hot spot,
// holding its colour bitmap in `cursor_slot` meanwhile. Monochrome cursors (no colour
// bitmap) are not drawn; both icon bitmaps are released on every path.
void DrawCursor(Bitmap& target, std::unique_ptr<Bitmap>& cursor_slot, const CursorQuery& query = {});

}  // namespace kadrix
