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

// Draws the current cursor into `target` as the screen shows it, at its screen position
// minus the hot spot: nothing while it is hidden; a colour cursor blended by its alpha,
// its colour bitmap held in `cursor_slot` meanwhile; a monochrome one (no colour bitmap)
// through its AND and XOR masks. Both icon bitmaps are released on every path.
void DrawCursor(Bitmap& target, std::unique_ptr<Bitmap>& cursor_slot, const CursorQuery& query = {});

}  // namespace kadrix
