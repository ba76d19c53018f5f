#include "controls/TavikImageButton.h"

#include <windowsx.h>

#include "app/WindowClass.h"
#include "app/Win32Handles.h"
#include "controls/PictureDraw.h"
#include "controls/Skin.h"
#include "resources/ResourceIds.h"

namespace kadrix {

namespace {

constexpr int kCreatedSize = 105;  // until a picture sizes the control

}  // namespace

ButtonPictures LoadButtonPictures(HINSTANCE instance) {
    return {LoadPngResource(instance, IDR_BUTTON_NORMAL), LoadPngResource(instance, IDR_BUTTON_HOVER),
            LoadPngResource(instance, IDR_BUTTON_PRESSED)};
}

TTavikImageButton::TTavikImageButton(HWND parent, int id, int left, int top, const ButtonPictures& pictures)
    : img_none_(pictures.none), img_move_(pictures.move), img_down_(pictures.down) {
    RegisterWindowClass({.name = kClassName, .cursor = IDC_HAND});
    window_.Create({.window_class = kClassName, .style = WS_CHILD | WS_VISIBLE,
                    .frame = {left, top, left + kCreatedSize, top + kCreatedSize}, .parent = parent, .id = id});
    SetPicture(img_none_);
}

void TTavikImageButton::SetPicture(const DecodedPicture& picture) {
    picture_ = picture;
    if (picture_.width > 0 && picture_.height > 0)
        SetWindowPos(handle(), nullptr, 0, 0, picture_.width, picture_.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(handle(), nullptr, FALSE);
}

void TTavikImageButton::Show(ButtonPicture state) {
    switch (state) {
    case ButtonPicture::Normal: SetPicture(img_none_); break;
    case ButtonPicture::Hover: SetPicture(img_move_); break;
    case ButtonPicture::Pressed: SetPicture(img_down_); break;
    }
}

void TTavikImageButton::MouseDown(MouseButton button) {
    if (button == MouseButton::Left) SetCapture(handle());
    Show(logic_.Press(button));
}

void TTavikImageButton::MouseMove(int x, int y) {
    // A pointer that jumps out in one move sends no move from outside the margins;
    // WM_MOUSELEAVE tells of it.
    TRACKMOUSEEVENT leave{sizeof(leave), TME_LEAVE, handle(), 0};
    TrackMouseEvent(&leave);
    // A move handled once the pointer has gone (a late one, or the one the system makes
    // up when the window comes back after a capture) gets its leave at once on Windows;
    // Wine sends none, and the hover picture would stay.
    POINT pointer{};
    if (GetCursorPos(&pointer) && WindowFromPoint(pointer) != handle()) PostMessageW(handle(), WM_MOUSELEAVE, 0, 0);
    RECT client{};
    GetClientRect(handle(), &client);
    Show(ImageButtonLogic::Move(x, y, client.right, client.bottom));
}

void TTavikImageButton::MouseUp(MouseButton button, int x, int y) {
    RECT client{};
    GetClientRect(handle(), &client);
    // Decided before the capture goes: losing it forgets the press.
    const bool clicked = logic_.ReleaseClicks(button, x, y, client.right, client.bottom);
    if (button == MouseButton::Left) ReleaseCapture();
    if (clicked && OnClick) OnClick();
    Show(ImageButtonLogic::Release());
}

void TTavikImageButton::Paint() {
    PaintScope paint(handle());
    RECT client{};
    GetClientRect(handle(), &client);
    DrawOverParent(handle(), paint.dc(), client, [&](HDC dc, const RECT&) {
        DrawPicture(dc, (client.right - picture_.width) / 2, (client.bottom - picture_.height) / 2, picture_);
    });
}

LRESULT TTavikImageButton::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    const int x = GET_X_LPARAM(lparam);
    const int y = GET_Y_LPARAM(lparam);
    switch (message) {
    case WM_LBUTTONDOWN: MouseDown(MouseButton::Left); return 0;
    case WM_RBUTTONDOWN: MouseDown(MouseButton::Right); return 0;
    case WM_MBUTTONDOWN: MouseDown(MouseButton::Middle); return 0;
    case WM_MOUSEMOVE: MouseMove(x, y); return 0;
    case WM_MOUSELEAVE: Show(ButtonPicture::Normal); return 0;  // as for any point outside
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        // Our own release comes here too, once its click is decided.
        Show(logic_.LoseCapture());
        if (message == WM_CANCELMODE && GetCapture() == handle()) ReleaseCapture();
        return 0;
    case WM_LBUTTONUP: MouseUp(MouseButton::Left, x, y); return 0;
    case WM_RBUTTONUP: MouseUp(MouseButton::Right, x, y); return 0;
    case WM_MBUTTONUP: MouseUp(MouseButton::Middle, x, y); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(); return 0;
    }
    return window_.Default(message, wparam, lparam);
}

}  // namespace kadrix
