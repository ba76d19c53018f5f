#include "capture/Grabbers.h"

#include "app/Main.h"
#include "app/PhysicalPixels.h"
#include "app/ScopeExit.h"
#include "capture/CursorStep.h"

namespace kadrix {

void GrabPrimaryMonitor(Bitmap& target, std::unique_ptr<Bitmap>* cursor_slot) {
    // The cursor's position is read in the same real pixels as the grab.
    const PhysicalPixelsScope physical;
    target.setPixelFormat(PixelFormat::Bits24);
    target.setSize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    {
        const WindowDC screen(nullptr);
        BitBlt(target.canvas(), 0, 0, target.width(), target.height(), screen.get(), 0, 0, SRCCOPY);
    }
    if (cursor_slot) {
        const ScopeExit clear([&] { cursor_slot->reset(); });
        DrawCursor(target, *cursor_slot);
    }
}

bool GrabWindow(Bitmap& target, HWND window) {
    const PhysicalPixelsScope physical;
    const WindowDC desktop(GetDesktopWindow(), true);
    if (!window || !IsWindowVisible(window)) return false;
    RECT area{};
    GetWindowRect(window, &area);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    target.setSize(width, height);
    StretchBlt(target.canvas(), 0, 0, width, height, desktop.get(), area.left, area.top, width, height, SRCCOPY);
    return true;
}

void TMainForm::GetScreen() {
    GrabPrimaryMonitor(*BMPScreen, OPT_NeedCursor ? &BMPCursor : nullptr);
    SaveCurrentScreen();
}

void TMainForm::ScreenShotActiveWindow(Bitmap& Bild) {
    if (GrabWindow(Bild, WindowToCapture())) SaveCurrentScreen();
}

}  // namespace kadrix
