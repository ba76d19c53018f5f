#pragma once
// Which picture the image button shows, and when it clicks: pure rules, no windows.

#include "controls/ClickTracker.h"

namespace kadrix {

enum class ButtonPicture { Normal, Hover, Pressed };

// The pointer counts as over the button only inside strict margins: columns and rows
// 0..2 on the left and top, and the last two on the right and bottom, are outside.
constexpr bool IsOverImageButton(int x, int y, int width, int height) noexcept {
    return x > 2 && x < width - 2 && y > 2 && y < height - 2;
}

class ImageButtonLogic {
public:
    ButtonPicture Press(MouseButton button) noexcept {
        clicks_.Press(button);
        return ButtonPicture::Pressed;
    }

    static ButtonPicture Move(int x, int y, int width, int height) noexcept {
        return IsOverImageButton(x, y, width, height) ? ButtonPicture::Hover : ButtonPicture::Normal;
    }

    // Raised before the picture returns to normal.
    bool ReleaseClicks(MouseButton button, int x, int y, int width, int height) noexcept {
        return clicks_.ReleaseClicks(button, x, y, width, height);
    }

    static constexpr ButtonPicture Release() noexcept { return ButtonPicture::Normal; }

    ButtonPicture LoseCapture() noexcept {
        clicks_.Forget();
        return ButtonPicture::Normal;
    }

private:
    ClickTracker clicks_;
};

}  // namespace kadrix
