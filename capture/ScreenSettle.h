#pragma once
// Hiding a window takes the screen a moment: a compositor shows the change with its
// next frame, and without one every window beneath must repaint what it had covered.
// A capture taken before then holds the program's own pixels.
#include <windows.h>

#include <chrono>

namespace kadrix {

// Returns once the screen shows again what lies beneath `area`, after the program's
// windows there were hidden, or after `limit` when a window beneath does not answer
// (a hung program never holds a capture up for longer). Returns the time it waited.
std::chrono::microseconds WaitForScreenBeneath(const RECT& area,
                                               std::chrono::milliseconds limit = std::chrono::milliseconds(500));

// Window transitions would keep a hidden window on screen while it fades out.
void DisableTransitions(HWND window) noexcept;

}  // namespace kadrix
