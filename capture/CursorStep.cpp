#include "capture/CursorStep.h"

namespace kadrix {

void DrawCursor(Bitmap& target, std::unique_ptr<Bitmap>& cursor_slot, const CursorQuery& query) {
    cursor_slot = std::make_unique<Bitmap>();
    CURSORINFO cursor{};
    cursor.cbSize = sizeof(cursor);  // Windows refuses any other size (24 on x64, 20 on x86)
    ICONINFO icon{};
    // A cursor hidden while the user types, touches or uses a pen is not on the screen either.
    if (!query.cursorInfo(&cursor) || !(cursor.flags & CURSOR_SHOWING) || !cursor.hCursor ||
        !query.iconInfo(cursor.hCursor, &icon))
        return;
    const unique_hbitmap mask(icon.hbmMask);
    unique_hbitmap colour(icon.hbmColor);
    const int x = cursor.ptScreenPos.x - static_cast<int>(icon.xHotspot);
    const int y = cursor.ptScreenPos.y - static_cast<int>(icon.yHotspot);
    if (!colour) {
        // The I-beam and the inverted pointers blacken, whiten and invert what lies beneath.
        DrawIconEx(target.canvas(), x, y, cursor.hCursor, 0, 0, 0, nullptr, DI_NORMAL);
        return;
    }
    cursor_slot = std::make_unique<Bitmap>(std::move(colour));
    Bitmap& picture = *cursor_slot;
    if (picture.empty()) return;
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(target.canvas(), x, y, picture.width(), picture.height(), picture.canvas(), 0, 0, picture.width(),
               picture.height(), blend);
}

}  // namespace kadrix
