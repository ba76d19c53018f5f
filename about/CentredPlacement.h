#pragma once
// Where a window or picture goes when centred over another along one axis.

#include <algorithm>

namespace kadrix {

// Start of `length` centred over [outer_start, outer_start + outer_length); may be
// negative, which crops a picture evenly (the odd pixel goes to the far side).
constexpr int CentredStart(int outer_start, int outer_length, int length) noexcept {
    return outer_start + (outer_length - length) / 2;
}

// The same, pulled back inside the work area [area_start, area_start + area_length)
// so that a dialog over a window near the edge, or a minimised one, stays on screen;
// when it cannot fit, its top-left part is the part kept visible.
constexpr int CentredStartWithin(int outer_start, int outer_length, int length, int area_start,
                                 int area_length) noexcept {
    const int last_start = std::max(area_start, area_start + area_length - length);
    return std::clamp(CentredStart(outer_start, outer_length, length), area_start, last_start);
}

}  // namespace kadrix
