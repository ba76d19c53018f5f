#include "controls/LinkClick.h"

#include <windowsx.h>

namespace kadrix {

LinkClick::LinkClick(HWND link) { window_.Attach(link); }

LRESULT LinkClick::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    const HWND link = window_.get();
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        clicks_.Press(MouseButton::Left);
        SetCapture(link);
        return 0;  // the static itself would report the press as a click
    case WM_LBUTTONUP: {
        RECT client{};
        GetClientRect(link, &client);
        const bool clicked = clicks_.ReleaseClicks(MouseButton::Left, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam),
                                                   client.right, client.bottom);
        if (GetCapture() == link) ReleaseCapture();
        if (clicked)
            SendMessageW(GetParent(link), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(link), STN_CLICKED),
                         reinterpret_cast<LPARAM>(link));
        return 0;
    }
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        clicks_.Forget();
        break;
    }
    return window_.Default(message, wparam, lparam);
}

}  // namespace kadrix
