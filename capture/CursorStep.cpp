#include "capture/CursorStep.h"

namespace kadrix {

void DrawCursor(Bitmap& target, std::unique_ptr<Bitmap>& cursor_slot, const CursorQuery& query) {
    cursor_slot = std::make_unique<Bitmap>();
    CURSORINFO cursor{};
    cursor.cbSize = sizeof(cursor);  // Windows refuses any other size (24 on x64, 20 on x86)
    ICONINFO icon{};
    if (!query.cursorInfo(&cursor) || !cursor.hCursor || !query.iconInfo(cursor.hCursor, &icon)) return;
    const unique_hbitmap mask(icon.hbmMask);
    unique_hbitmap colour(icon.hbmColor);
    if (colour) cursor_slot = std::make_unique<Bitmap>(std::move(colour));
    Bitmap& picture = *cursor_slot;
    if (picture.empty()) return;
    const int x = cursor.ptScreenPos.x - static_cast<int>(icon.xHotspot);
    const int y = cursor.ptScreenPos.y - static_cast<int>(icon.yHotspot);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(target.canvas(), x, y, picture.width(), picture.height(), picture.canvas(), 0, 0, picture.width(),
               picture.height(), blend);
}

}  // namespace kadrix
