#pragma once
// Hiding a window takes the screen a moment: a compositor shows the change with its
// next frame, and without one every window beneath must repaint what it had covered.
// A capture taken before then holds the program's own pixels.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <vector>

namespace kadrix {

// A window and the part of an area it covers.
struct WindowOverArea {
    HWND window;
    RECT part;
};

// What the screen shows over `area` just before the program hides its windows there.
// Taken right before the hide, while the program has not yet drawn anything else.
class ScreenBeforeHide {
public:
    explicit ScreenBeforeHide(const RECT& area);

    // Returns once the screen no longer shows the hidden windows over the area, or after
    // `limit` when a window beneath does not answer (a hung program never holds a capture
    // up for longer). Returns the time it waited.
    std::chrono::microseconds WaitUntilGone(std::chrono::milliseconds limit = std::chrono::milliseconds(500)) const;

private:
    RECT area_;
    bool composited_;
    std::vector<WindowOverArea> shown_;  // visible top-level windows over the area, top first
    std::vector<std::uint32_t> pixels_;   // the area, row by row
};

// Window transitions would keep a hidden window on screen while it fades out.
void DisableTransitions(HWND window) noexcept;

}  // namespace kadrix
