#include "controls/LinkClick.h"

#include <commctrl.h>
#include <windowsx.h>

#include "app/ErrorBox.h"
#include "app/Win32Error.h"
#include "controls/ClickTracker.h"

namespace kadrix {

namespace {

constexpr UINT_PTR kLinkSubclassId = 0x4C4E4B;

LRESULT CALLBACK LinkProc(HWND link, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR pressed) noexcept;

// The press lives in the subclass's own data, so a link needs nothing else.
void Remember(HWND link, ClickTracker clicks) noexcept {
    SetWindowSubclass(link, &LinkProc, kLinkSubclassId, clicks.pressed());
}

LRESULT HandleLink(HWND link, UINT message, WPARAM wparam, LPARAM lparam, ClickTracker clicks) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        clicks.Press(MouseButton::Left);
        Remember(link, clicks);
        SetCapture(link);
        return 0;  // the static itself would report the press as a click
    case WM_LBUTTONUP: {
        RECT client{};
        GetClientRect(link, &client);
        const bool clicked =
            clicks.ReleaseClicks(MouseButton::Left, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam), client.right, client.bottom);
        Remember(link, clicks);
        if (GetCapture() == link) ReleaseCapture();
        if (clicked)
            SendMessageW(GetParent(link), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(link), STN_CLICKED),
                         reinterpret_cast<LPARAM>(link));
        return 0;
    }
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        clicks.Forget();
        Remember(link, clicks);
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(link, &LinkProc, kLinkSubclassId);
        break;
    }
    return DefSubclassProc(link, message, wparam, lparam);
}

LRESULT CALLBACK LinkProc(HWND link, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR pressed) noexcept {
    try {
        return HandleLink(link, message, wparam, lparam, ClickTracker(pressed != 0));
    } catch (...) {
        // Messages reach a link from whichever loop runs; there is no modal run to end.
        ShowStandardErrorBox(std::current_exception());
        return 0;
    }
}

}  // namespace

void ClickOnRelease(HWND link) {
    if (!SetWindowSubclass(link, &LinkProc, kLinkSubclassId, 0)) throw Win32Error(L"SetWindowSubclass", GetLastError());
}

}  // namespace kadrix
