#pragma once
// A picture that acts as a button by showing one of three state pictures: normal,
// hover and pressed. It has no caption and takes no keyboard focus.
#include <windows.h>

#include <functional>

#include "app/Window.h"
#include "controls/ImageButtonLogic.h"
#include "imaging/PngReader.h"

namespace kadrix {

struct ButtonPictures {
    DecodedPicture none, move, down;
};

// The capture button's three pictures from the program's resources.
ButtonPictures LoadButtonPictures(HINSTANCE instance);

class TTavikImageButton : private MessageHandler {
public:
    static constexpr const wchar_t* kClassName = L"TTavikImageButton";

    // Created at (left, top) with the given identifier; sized to the normal picture,
    // which it shows until the first mouse event.
    TTavikImageButton(HWND parent, int id, int left, int top, const ButtonPictures& pictures);
    TTavikImageButton(const TTavikImageButton&) = delete;
    TTavikImageButton& operator=(const TTavikImageButton&) = delete;

    HWND handle() const noexcept { return window_.get(); }

    // State pictures; setting one copies it.
    const DecodedPicture& Img_None() const noexcept { return img_none_; }
    const DecodedPicture& Img_Move() const noexcept { return img_move_; }
    const DecodedPicture& Img_Down() const noexcept { return img_down_; }
    void SetImg_None(const DecodedPicture& picture) { img_none_ = picture; }
    void SetImg_Move(const DecodedPicture& picture) { img_move_ = picture; }
    void SetImg_Down(const DecodedPicture& picture) { img_down_ = picture; }

    // The displayed picture; with auto-size on, a non-empty one resizes the control.
    void SetPicture(const DecodedPicture& picture);

    std::function<void()> OnClick;

private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    void Show(ButtonPicture state);
    void MouseDown(MouseButton button);
    void MouseMove(int x, int y);
    void MouseUp(MouseButton button, int x, int y);
    void Paint();

    DecodedPicture img_none_, img_move_, img_down_;
    DecodedPicture picture_;
    ImageButtonLogic logic_;
    Window window_{*this};  // last: the window goes first
};

}  // namespace kadrix
