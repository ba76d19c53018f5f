// The desktop and active-window grabbers: one block transfer into the reused capture
// bitmap, then the output stage.
#include "app/Main.h"
#include "app/ResetOnExit.h"
#include "capture/CursorStep.h"

namespace kadrix {

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
