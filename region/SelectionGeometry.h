#pragma once
// Shapes of a region selection in the overlay's client coordinates, which are screen
// coordinates too: the overlay has no frame and sits at 0, 0. A rectangle covers the
// pixels left <= x < right and top <= y < bottom.
#include <algorithm>
#include <array>

namespace kadrix {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    constexpr int width() const noexcept { return right - left; }
    constexpr int height() const noexcept { return bottom - top; }
    constexpr bool empty() const noexcept { return width() <= 0 || height() <= 0; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The rectangle between two corners given in any order.
constexpr Rect OrderedRect(Point a, Point b) noexcept {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

// Integer division truncates toward zero, also left of and above the screen.
constexpr int Midpoint(int a, int b) noexcept { return (a + b) / 2; }

// The smallest rectangle holding both; an empty one adds nothing.
constexpr Rect Union(Rect a, Rect b) noexcept {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

// The eight handle squares in drawing order: press, pointer, the two other corners,
// then the side midpoints. The fifth one is 9 x 9 and off-centre.
constexpr std::array<Rect, 8> HandleRects(Point press, Point pointer) noexcept {
    const int midX = Midpoint(press.x, pointer.x);
    const int midY = Midpoint(press.y, pointer.y);
    auto square = [](int x, int y) { return Rect{x - 3, y - 3, x + 3, y + 3}; };
    return {
        square(press.x, press.y),
        square(pointer.x, pointer.y),
        square(pointer.x, press.y),
        square(press.x, pointer.y),
        Rect{press.x - 3, midY - 6, press.x + 6, midY + 3},
        square(pointer.x, midY),
        square(midX, press.y),
        square(midX, pointer.y),
    };
}

// Every pixel one drag step draws: the outlined rectangle and its handles.
constexpr Rect SelectionBounds(Point press, Point pointer) noexcept {
    Rect bounds = OrderedRect(press, pointer);
    // A zero-width selection still draws its handles.
    for (const Rect& handle : HandleRects(press, pointer)) bounds = Union(bounds, handle);
    return bounds;
}

}  // namespace kadrix
