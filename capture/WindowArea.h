#pragma once
// Which screen rectangle a window capture copies: the frame the user sees. Windows 10
// and 11 count invisible resize borders into a window's rectangle, and a maximized
// window's rectangle overhangs its monitor by the frame width; both would bring strips
// of whatever lies beside the window into the picture. Real pixels throughout.
#include <algorithm>
#include <optional>

#include "region/SelectionGeometry.h"

namespace kadrix {

// What the system tells about a window.
struct WindowFacts {
    Rect window;                // its window rectangle
    std::optional<Rect> frame;  // its visible frame, where the system can tell it
    bool minimized = false;
    bool cloaked = false;       // not on screen at all (another virtual desktop, say)
    bool maximized = false;
    Rect work_area;             // of the monitor it lies on
    Rect virtual_screen;
};

// The pixels both cover; empty where they do not meet.
constexpr Rect Intersection(Rect a, Rect b) noexcept {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

// The rectangle to copy, or nothing when the window shows nothing on the screen.
constexpr std::optional<Rect> CapturedWindowArea(const WindowFacts& facts) noexcept {
    if (facts.minimized || facts.cloaked) return std::nullopt;
    Rect area = facts.frame && !facts.frame->empty() ? *facts.frame : facts.window;
    // Where the frame is unknown (Windows without composition) a maximized window still
    // ends at its work area, which is what its monitor shows of it.
    if (facts.maximized) area = Intersection(area, facts.work_area);
    area = Intersection(area, facts.virtual_screen);
    if (area.empty()) return std::nullopt;
    return area;
}

}  // namespace kadrix
