#include "app/WindowPlacement.h"

#include "app/DialogPlacement.h"

namespace kadrix {

namespace {

Box BoxOf(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace

void PlaceCentred(HWND window, HWND over, int client_width, int client_height) {
    RECT frame{0, 0, client_width, client_height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), GetMenu(window) != nullptr,
                       static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    MONITORINFO monitor{sizeof(monitor)};
    const HMONITOR on = over ? MonitorFromWindow(over, MONITOR_DEFAULTTONEAREST)
                             : MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
    GetMonitorInfoW(on, &monitor);
    RECT centre_of = monitor.rcMonitor;
    if (over) GetWindowRect(over, &centre_of);
    const Position place = CentredOver(BoxOf(centre_of), width, height, BoxOf(monitor.rcWork));
    SetWindowPos(window, nullptr, place.left, place.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace kadrix
