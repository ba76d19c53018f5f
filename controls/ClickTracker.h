#pragma once
// When a press and a release make a click: pure rules, no windows. Buttons and links
// share them, so every clickable control of the program behaves as users know.

namespace kadrix {

enum class MouseButton { Left, Right, Middle };

// A click is a left press and a left release on the same control, released inside its
// client rectangle. A press is forgotten when the control loses the mouse capture
// (another window took it, or the system cancelled the mode), so a later release
// over the control does not click.
class ClickTracker {
public:
    constexpr ClickTracker() noexcept = default;
    explicit constexpr ClickTracker(bool pressed) noexcept : pressed_(pressed) {}

    constexpr void Press(MouseButton button) noexcept {
        if (button == MouseButton::Left) pressed_ = true;
    }

    constexpr bool ReleaseClicks(MouseButton button, int x, int y, int width, int height) noexcept {
        if (button != MouseButton::Left) return false;
        const bool pressed_here = pressed_;
        pressed_ = false;
        return pressed_here && x >= 0 && y >= 0 && x < width && y < height;
    }

    constexpr void Forget() noexcept { pressed_ = false; }
    constexpr bool pressed() const noexcept { return pressed_; }

private:
    bool pressed_ = false;
};

}  // namespace kadrix
