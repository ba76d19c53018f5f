#include "capture/Grabbers.h"

#include "app/Main.h"
#include "app/PhysicalPixels.h"
#include "app/ScopeExit.h"
#include "app/Win32Error.h"
#include "app/Win32Handles.h"
#include "capture/CursorStep.h"
#include "capture/WindowArea.h"

namespace kadrix {

void CopyScreen(Bitmap& target, const Rect& area) {
    const WindowDC screen(nullptr);
    if (!BitBlt(target.canvas(), 0, 0, area.width(), area.height(), screen.get(), area.left, area.top, SRCCOPY))
        throw Win32Error(L"BitBlt", GetLastError());
}

void GrabPrimaryMonitor(Bitmap& target, std::unique_ptr<Bitmap>* cursor_slot) {
    // The cursor's position is read in the same real pixels as the grab.
    const PhysicalPixelsScope physical;
    target.setPixelFormat(PixelFormat::Bits24);
    target.setSize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    CopyScreen(target, {0, 0, target.width(), target.height()});
    if (cursor_slot) {
        const ScopeExit clear([&] { cursor_slot->reset(); });
        DrawCursor(target, *cursor_slot);
    }
}

namespace {

Rect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

WindowFacts FactsOf(HWND window, const WindowQuery& query) {
    WindowFacts facts;
    RECT rect{};
    query.windowRect(window, &rect);
    facts.window = ToRect(rect);
    if (SUCCEEDED(query.dwmAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &rect, sizeof(rect))))
        facts.frame = ToRect(rect);
    DWORD cloaked = 0;
    facts.cloaked = SUCCEEDED(query.dwmAttribute(window, DWMWA_CLOAKED, &cloaked, sizeof(cloaked))) && cloaked;
    facts.minimized = query.iconic(window) != FALSE;
    facts.maximized = query.zoomed(window) != FALSE;
    MONITORINFO monitor{sizeof(monitor)};
    if (query.monitorInfo(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
        facts.work_area = ToRect(monitor.rcWork);
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    facts.virtual_screen = {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                            top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    return facts;
}

}  // namespace

bool GrabWindow(Bitmap& target, HWND window, const WindowQuery& query) {
    if (!window || !IsWindowVisible(window)) return false;
    // The frame bounds are told in real pixels only: everything else is read in them too.
    const PhysicalPixelsScope physical;
    const std::optional<Rect> area = CapturedWindowArea(FactsOf(window, query));
    if (!area) return false;
    target.setSize(area->width(), area->height());
    CopyScreen(target, *area);
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
