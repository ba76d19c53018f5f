#include "capture/ScreenSettle.h"

#include <dwmapi.h>

#include <algorithm>
#include <vector>

#include "app/Win32Handles.h"

namespace kadrix {

namespace {

using Clock = std::chrono::steady_clock;

struct Beneath {
    RECT area;
    std::vector<HWND> windows;  // each parent before its children
};

bool Overlaps(HWND window, const RECT& area) noexcept {
    RECT rect{}, common{};
    return IsWindowVisible(window) && GetWindowRect(window, &rect) && IntersectRect(&common, &rect, &area);
}

// Children are enumerated with their top-level window, every level deep.
BOOL CALLBACK Collect(HWND window, LPARAM context) noexcept {
    auto& beneath = *reinterpret_cast<Beneath*>(context);
    if (!Overlaps(window, beneath.area)) return TRUE;
    try {
        beneath.windows.push_back(window);
    } catch (...) {
        return FALSE;  // out of memory: settle what was found
    }
    if (GetAncestor(window, GA_PARENT) == GetDesktopWindow()) EnumChildWindows(window, &Collect, context);
    return TRUE;
}

bool CompositionOn() noexcept {
    BOOL enabled = FALSE;
    return SUCCEEDED(DwmIsCompositionEnabled(&enabled)) && enabled;
}

// One message to each window, answered once its thread has handled it; a window
// that does not answer in time is left as it is.
void SendToEach(const std::vector<HWND>& windows, UINT message, Clock::time_point deadline) noexcept {
    for (HWND window : windows) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return;
        DWORD_PTR result = 0;
        SendMessageTimeoutW(window, message, 0, 0, SMTO_ABORTIFHUNG, static_cast<UINT>(left), &result);
    }
}

std::vector<HWND> OnePerThread(const std::vector<HWND>& windows) {
    std::vector<HWND> firsts;
    std::vector<DWORD> threads;
    for (HWND window : windows) {
        const DWORD thread = GetWindowThreadProcessId(window, nullptr);
        if (thread == GetCurrentThreadId() || std::find(threads.begin(), threads.end(), thread) != threads.end())
            continue;
        threads.push_back(thread);
        firsts.push_back(window);
    }
    return firsts;
}

}  // namespace

std::chrono::microseconds WaitForScreenBeneath(const RECT& area, std::chrono::milliseconds limit) {
    const Clock::time_point start = Clock::now();
    if (CompositionOn()) {
        // The first frame may have been composed before the hide arrived; the second holds it.
        DwmFlush();
        DwmFlush();
    } else {
        // A read of the screen returns once the display has taken the hide, so what it
        // uncovered has been reported to the windows beneath before they are asked.
        GetPixel(WindowDC(nullptr).get(), area.left, area.top);
        Beneath beneath{area, {}};
        EnumWindows(&Collect, reinterpret_cast<LPARAM>(&beneath));
        beneath.windows.push_back(GetDesktopWindow());
        const Clock::time_point deadline = start + limit;
        // A sent paint is handled before anything the window's thread has queued, so
        // what was uncovered is drawn now rather than when that thread gets round to it.
        SendToEach(beneath.windows, WM_PAINT, deadline);
        // A thread's drawing reaches the display when it next waits for messages; the
        // answer to a second message means it has waited since it painted.
        SendToEach(OnePerThread(beneath.windows), WM_NULL, deadline);
        MSG none;
        PeekMessageW(&none, reinterpret_cast<HWND>(-1), WM_APP + 0x3FFF, WM_APP + 0x3FFF, PM_NOREMOVE);
    }
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
}

void DisableTransitions(HWND window) noexcept {
    const BOOL disabled = TRUE;
    DwmSetWindowAttribute(window, DWMWA_TRANSITIONS_FORCEDISABLED, &disabled, sizeof(disabled));
}

}  // namespace kadrix
