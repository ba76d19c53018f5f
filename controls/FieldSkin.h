#pragma once
// Input fields of dialogs in the program's look: a bordered edit box and a drop-down
// list keep their own painting of text, caret and selection; their frames and the
// list's drop button are drawn by the skin.
#include <windows.h>

#include "app/Window.h"

namespace kadrix {

// Takes over the frame painting of an edit box with WS_BORDER or of a drop-down list
// (CBS_DROPDOWNLIST); the field's owner keeps this while the field lives.
class FieldSkin : private MessageHandler {
public:
    explicit FieldSkin(HWND control);

private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    void PaintList(WPARAM given_dc);

    bool drop_down_list_;
    Window window_{*this};
};

}  // namespace kadrix
