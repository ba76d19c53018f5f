#pragma once
// Where a window goes when it opens: centred over its owner or the desktop, pulled back
// inside the work area so that it never opens partly off the screen.
#include <algorithm>

namespace kadrix {

struct Box {
    int left, top, right, bottom;
};

struct Position {
    int left, top;
    bool operator==(const Position&) const = default;
};

inline Position CentredOver(const Box& owner, int width, int height, const Box& work_area) {
    int left = owner.left + (owner.right - owner.left - width) / 2;
    int top = owner.top + (owner.bottom - owner.top - height) / 2;
    // Left and top edges win when the dialog is larger than the work area.
    left = std::max(std::min(left, work_area.right - width), work_area.left);
    top = std::max(std::min(top, work_area.bottom - height), work_area.top);
    return {left, top};
}

}  // namespace kadrix
