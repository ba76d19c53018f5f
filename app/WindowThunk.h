#pragma once
// The window procedure of a window that belongs to one object: the object comes with
// WM_NCCREATE (the creation parameter) and every later message goes to its
// WindowProc, until WM_NCDESTROY tells it the window is gone. An owner keeps these
// hooks private and befriends the procedure:
//   template <typename Owner> friend LRESULT CALLBACK ForwardToOwner(HWND, UINT, WPARAM, LPARAM) noexcept;
// No exception may cross the system's frames (on x64 it never arrives), so the hooks
// are noexcept: WindowProc catches what its handlers throw.
#include <windows.h>

namespace kadrix {

template <typename Owner>
LRESULT CALLBACK ForwardToOwner(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
    if (message == WM_NCCREATE) {
        auto* owner = static_cast<Owner*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
        owner->OnWindowCreated(window);
        return DefWindowProcW(window, message, wparam, lparam);
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!owner) return DefWindowProcW(window, message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        owner->OnWindowGone();
        return DefWindowProcW(window, message, wparam, lparam);
    }
    return owner->WindowProc(message, wparam, lparam);
}

}  // namespace kadrix
