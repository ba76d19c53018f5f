#include "capture/ScreenSettle.h"

#include <dwmapi.h>

#include <algorithm>
#include <iterator>
#include <optional>

#include "app/Win32Handles.h"

namespace kadrix {

namespace {

using Clock = std::chrono::steady_clock;

// Under Wine a window's drawing reaches the display only when a thread of its process
// next waits for messages, so a window beneath that has repainted and answered may
// still show what the program drew. Its pixels then change all at once. A window that
// shows no change after this many more answers is taken to look as the program did there.
constexpr int kLooksAfterAnswers = 3;

struct Beneath {
    RECT area;
    std::vector<HWND> windows;  // each parent before its children
};

// The part of `area` a visible window covers; none when it covers nothing of it.
std::optional<RECT> CoveredPart(HWND window, const RECT& area) noexcept {
    RECT rect{}, common{};
    if (IsWindowVisible(window) && GetWindowRect(window, &rect) && IntersectRect(&common, &rect, &area)) return common;
    return std::nullopt;
}

bool Overlaps(HWND window, const RECT& area) noexcept { return CoveredPart(window, area).has_value(); }

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

// Every top-level window, shown or not, top first.
BOOL CALLBACK CollectTopLevel(HWND window, LPARAM context) noexcept {
    try {
        reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(&CollectTopLevel, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

bool CompositionOn() noexcept {
    BOOL enabled = FALSE;
    return SUCCEEDED(DwmIsCompositionEnabled(&enabled)) && enabled;
}

// The area's pixels as the display shows them now; empty when they cannot be read.
std::vector<std::uint32_t> ScreenPixels(const RECT& area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return {};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    const WindowDC screen(nullptr);
    void* bits = nullptr;
    const unique_hbitmap section(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const unique_hdc memory(CreateCompatibleDC(screen.get()));
    if (!section || !memory) return {};
    {
        const SelectedObject selected(memory.get(), section.get());
        if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY)) return {};
    }
    GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    return {first, first + static_cast<std::size_t>(width) * height};
}

std::vector<RECT> RectsOf(HRGN region) {
    const DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD));
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (!size || !GetRegionData(region, size, data)) return {};
    const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
    return {rects, rects + data->rdh.nCount};
}

// A window beneath and the part of the vacated area it shows, in area coordinates.
struct Claim {
    HWND window;
    std::vector<RECT> rects;
};

bool Changed(const Claim& claim, const std::vector<std::uint32_t>& before, const std::vector<std::uint32_t>& now,
             int width) {
    for (const RECT& rect : claim.rects)
        for (LONG y = rect.top; y < rect.bottom; ++y) {
            const auto row = static_cast<std::ptrdiff_t>(y) * width;
            if (!std::equal(before.begin() + row + rect.left, before.begin() + row + rect.right,
                            now.begin() + row + rect.left))
                return true;
        }
    return false;
}

// The windows that left, and who shows what they covered: the first visible window
// below the topmost of them at each point, the desktop where there is none.
std::vector<Claim> ClaimsOnVacated(const RECT& area, const std::vector<WindowOverArea>& before) {
    const unique_hrgn uncovered(CreateRectRgn(0, 0, 0, 0));
    const std::vector<HWND> order = TopLevelWindows();
    auto first_left = order.end();
    for (const WindowOverArea& shown : before) {
        if (IsWindowVisible(shown.window)) continue;
        const unique_hrgn rect(CreateRectRgnIndirect(&shown.part));
        CombineRgn(uncovered.get(), uncovered.get(), rect.get(), RGN_OR);
        first_left = std::min(first_left, std::find(order.begin(), order.end(), shown.window));
    }
    OffsetRgn(uncovered.get(), -area.left, -area.top);
    std::vector<Claim> claims;
    const auto claim = [&](HWND window, const RECT* rect) {
        const unique_hrgn part(CreateRectRgn(0, 0, 0, 0));
        CombineRgn(part.get(), uncovered.get(), nullptr, RGN_COPY);
        if (rect) {
            const unique_hrgn shape(CreateRectRgnIndirect(rect));
            OffsetRgn(shape.get(), -area.left, -area.top);
            CombineRgn(part.get(), part.get(), shape.get(), RGN_AND);
            CombineRgn(uncovered.get(), uncovered.get(), shape.get(), RGN_DIFF);
        }
        if (std::vector<RECT> rects = RectsOf(part.get()); !rects.empty()) claims.push_back({window, std::move(rects)});
    };
    for (auto it = first_left; it != order.end(); ++it)
        if (const std::optional<RECT> part = CoveredPart(*it, area)) claim(*it, &*part);
    claim(GetDesktopWindow(), nullptr);
    return claims;
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

// This thread's own windows reach the display when it looks for a message and finds none.
void ShowOwnDrawing() noexcept {
    MSG none;
    PeekMessageW(&none, reinterpret_cast<HWND>(-1), WM_APP + 0x3FFF, WM_APP + 0x3FFF, PM_NOREMOVE);
}

}  // namespace

ScreenBeforeHide::ScreenBeforeHide(const RECT& area) : area_(area), composited_(CompositionOn()) {
    if (composited_) return;
    for (HWND window : TopLevelWindows())
        if (const std::optional<RECT> part = CoveredPart(window, area)) shown_.push_back({window, *part});
    pixels_ = ScreenPixels(area);
}

std::chrono::microseconds ScreenBeforeHide::WaitUntilGone(std::chrono::milliseconds limit) const {
    const Clock::time_point start = Clock::now();
    const auto waited = [&] { return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start); };
    if (composited_) {
        // The first frame may have been composed before the hide arrived; the second holds it.
        DwmFlush();
        DwmFlush();
        return waited();
    }
    const Clock::time_point deadline = start + limit;
    // A read of the screen returns once the display has taken the hide, so what it
    // uncovered has been reported to the windows beneath before they are asked.
    GetPixel(WindowDC(nullptr).get(), area_.left, area_.top);

    std::vector<Claim> claims = ClaimsOnVacated(area_, shown_);
    if (pixels_.empty()) claims.clear();  // nothing to compare with: the answers alone

    Beneath beneath{area_, {}};
    EnumWindows(&Collect, reinterpret_cast<LPARAM>(&beneath));
    beneath.windows.push_back(GetDesktopWindow());
    // A sent paint is handled before anything the window's thread has queued, so
    // what was uncovered is drawn now rather than when that thread gets round to it.
    SendToEach(beneath.windows, WM_PAINT, deadline);
    // A thread's drawing reaches the display when it next waits for messages, which
    // it does once it has answered; what it shows then tells whether it has.
    SendToEach(OnePerThread(beneath.windows), WM_NULL, deadline);
    for (int look = 0; !claims.empty(); ++look) {
        ShowOwnDrawing();
        const std::vector<std::uint32_t> now = ScreenPixels(area_);
        if (now.size() != pixels_.size()) break;
        claims.erase(std::remove_if(claims.begin(), claims.end(),
                                    [&](const Claim& c) { return Changed(c, pixels_, now, area_.right - area_.left); }),
                     claims.end());
        if (claims.empty() || look == kLooksAfterAnswers || Clock::now() >= deadline) break;
        std::vector<HWND> waiting;
        std::transform(claims.begin(), claims.end(), std::back_inserter(waiting), [](const Claim& c) { return c.window; });
        SendToEach(OnePerThread(waiting), WM_NULL, deadline);
    }
    ShowOwnDrawing();
    return waited();
}

void DisableTransitions(HWND window) noexcept {
    const BOOL disabled = TRUE;
    DwmSetWindowAttribute(window, DWMWA_TRANSITIONS_FORCEDISABLED, &disabled, sizeof(disabled));
}

}  // namespace kadrix
