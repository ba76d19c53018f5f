#pragma once
// Input fields of dialogs in the program's look: a bordered edit box and a drop-down
// list keep their own painting of text, caret and selection; their frames and the
// list's drop button are drawn by the skin.
#include <windows.h>

namespace kadrix {

// Takes over the frame painting of an edit box with WS_BORDER or of a drop-down list
// (CBS_DROPDOWNLIST) for the control's lifetime.
void SkinFieldFrame(HWND control);

}  // namespace kadrix
