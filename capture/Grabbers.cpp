// The desktop and active-window grabbers: one block transfer into the reused capture
// bitmap, then the output stage.
#include "app/Main.h"
#include "app/ResetOnExit.h"
#include "capture/CursorStep.h"

namespace kadrix {

void DrawCursor(Bitmap& target, std::unique_ptr<Bitmap>& cursor_slot) {
    cursor_slot = std::make_unique<Bitmap>();
    CURSORINFO cursor{};
    cursor.cbSize = 20;  // the size every Windows version accepts
    ICONINFO icon{};
    if (!GetCursorInfo(&cursor) || !cursor.hCursor || !GetIconInfo(cursor.hCursor, &icon)) return;
    const unique_hbitmap mask(icon.hbmMask);
    if (icon.hbmColor) cursor_slot = std::make_unique<Bitmap>(icon.hbmColor);
    Bitmap& picture = *cursor_slot;
    if (picture.empty()) return;
    const int x = cursor.ptScreenPos.x - static_cast<int>(icon.xHotspot);
    const int y = cursor.ptScreenPos.y - static_cast<int>(icon.yHotspot);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(target.canvas(), x, y, picture.width(), picture.height(), picture.canvas(), 0, 0, picture.width(),
               picture.height(), blend);
}

void TMainForm::GetScreen() {
    BMPScreen->setPixelFormat(PixelFormat::Bits24);
    BMPScreen->setSize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    {
        WindowDC screen(nullptr);
        BitBlt(BMPScreen->canvas(), 0, 0, BMPScreen->width(), BMPScreen->height(), screen.get(), 0, 0, SRCCOPY);
    }
    if (OPT_NeedCursor) {
        ResetOnExit clear(BMPCursor);
        DrawCursor(*BMPScreen, BMPCursor);
    }
    SaveCurrentScreen();
}

void TMainForm::ScreenShotActiveWindow(Bitmap& Bild) {
    {
        WindowDC desktop(GetDesktopWindow(), true);
        HWND foreground = GetForegroundWindow();
        if (!foreground) return;
        RECT area{};
        GetWindowRect(foreground, &area);
        const int width = area.right - area.left;
        const int height = area.bottom - area.top;
        Bild.setSize(width, height);
        StretchBlt(Bild.canvas(), 0, 0, width, height, desktop.get(), area.left, area.top, width, height, SRCCOPY);
    }
    SaveCurrentScreen();
}

}  // namespace kadrix
