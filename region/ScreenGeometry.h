#pragma once
// Where the overlay lies and what a selection on it copies, in the screen's real
// pixels. Monitors left of or above the primary one have negative coordinates, so the
// overlay's client coordinates are screen coordinates only after adding its origin.
#include <span>

#include "region/SelectionGeometry.h"

namespace kadrix {

// The smallest rectangle holding every monitor: what the overlay covers.
constexpr Rect VirtualScreen(std::span<const Rect> monitors) noexcept {
    Rect all{};
    for (const Rect& monitor : monitors) all = Union(all, monitor);
    return all;
}

// The screen rectangle between a press and a release in the overlay's client
// coordinates, whichever way the drag went, kept on the overlay: a release dragged
// past its edge under the mouse capture stops at the edge.
constexpr Rect CopiedRect(const Rect& overlay, Point press, Point release) noexcept {
    const Rect client = OrderedRect(press, release);
    const int left = std::max(overlay.left, overlay.left + client.left);
    const int top = std::max(overlay.top, overlay.top + client.top);
    const int right = std::min(overlay.right, overlay.left + client.right);
    const int bottom = std::min(overlay.bottom, overlay.top + client.bottom);
    if (right <= left || bottom <= top) return {left, top, left, top};
    return {left, top, right, bottom};
}

}  // namespace kadrix
