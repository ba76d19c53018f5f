#pragma once
// Which picture the image button shows, and when it clicks: pure rules, no windows.

namespace kadrix {

enum class ButtonPicture { Normal, Hover, Pressed };
enum class MouseButton { Left, Right, Middle };

// The pointer counts as over the button only inside strict margins: columns and rows
// 0..2 on the left and top, and the last two on the right and bottom, are outside.
constexpr bool IsOverImageButton(int x, int y, int width, int height) noexcept {
    return x > 2 && x < width - 2 && y > 2 && y < height - 2;
}

class ImageButtonLogic {
public:
    ButtonPicture Press(MouseButton button) noexcept {
        if (button == MouseButton::Left) left_pressed_ = true;
        return ButtonPicture::Pressed;
    }

    static ButtonPicture Move(int x, int y, int width, int height) noexcept {
        return IsOverImageButton(x, y, width, height) ? ButtonPicture::Hover : ButtonPicture::Normal;
    }

    // A click is a left press and left release on this control, released inside its
    // client rectangle; it is raised before the picture returns to normal.
    bool ReleaseClicks(MouseButton button, int x, int y, int width, int height) noexcept {
        if (button != MouseButton::Left) return false;
        const bool pressed_here = left_pressed_;
        left_pressed_ = false;
        return pressed_here && x >= 0 && y >= 0 && x < width && y < height;
    }

    static constexpr ButtonPicture Release() noexcept { return ButtonPicture::Normal; }

private:
    bool left_pressed_ = false;
};

}  // namespace kadrix
