#include "app/Window.h"

#include <commctrl.h>

#include <utility>

#include "app/ErrorBox.h"
#include "app/ModalRun.h"
#include "app/ScopeExit.h"
#include "app/Win32Error.h"

namespace kadrix {

namespace {

constexpr UINT_PTR kSubclassId = 0x4B445258;

}  // namespace

Window::~Window() {
    if (!window_) return;
    if (owned_) DestroyWindow(window_);  // WM_NCDESTROY unbinds
    else Unbind();
}

void Window::Create(const WindowCreation& creation) {
    creating_ = true;
    const ScopeExit created([this] { creating_ = false; });
    const RECT& frame = creation.frame;
    const HWND made = CreateWindowExW(creation.ex_style, creation.window_class, creation.text, creation.style,
                                      frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                                      creation.parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(creation.id)),
                                      GetModuleHandleW(nullptr), this);
    ThrowCreationError(made, L"CreateWindowExW", GetLastError());
    owned_ = true;
}

void Window::CreateFromTemplate(const DLGTEMPLATE& frame, HWND owner) {
    creating_ = true;
    const ScopeExit created([this] { creating_ = false; });
    const HWND made = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &frame, owner, &Window::DialogProcedure,
                                                 reinterpret_cast<LPARAM>(this));
    ThrowCreationError(made, L"CreateDialogIndirectParamW", GetLastError());
    owned_ = true;
}

void Window::Attach(HWND control) {
    Subclass(control);
    owned_ = false;
}

// A window whose handler failed while it was made is no window to keep.
void Window::ThrowCreationError(HWND made, const wchar_t* operation, DWORD code) {
    if (made && !creation_error_) return;
    if (made) DestroyWindow(made);
    if (creation_error_) std::rethrow_exception(std::exchange(creation_error_, nullptr));
    throw Win32Error(operation, code);
}

void Window::Subclass(HWND window) {
    if (!SetWindowSubclass(window, &Window::SubclassProcedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        throw Win32Error(L"SetWindowSubclass", GetLastError());
    window_ = window;
    subclassed_ = true;
}

void Window::Unbind() noexcept {
    if (subclassed_) RemoveWindowSubclass(window_, &Window::SubclassProcedure, kSubclassId);
    else SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    window_ = nullptr;
    subclassed_ = false;
    owned_ = false;
}

LRESULT Window::Default(UINT message, WPARAM wparam, LPARAM lparam) const {
    return subclassed_ ? DefSubclassProc(window_, message, wparam, lparam)
                       : DefWindowProcW(window_, message, wparam, lparam);
}

LRESULT Window::Dispatch(UINT message, WPARAM wparam, LPARAM lparam) noexcept {
    if (message == WM_NCDESTROY) {
        // A subclass goes before the window does.
        const HWND window = window_;
        const bool subclassed = subclassed_;
        Unbind();
        return subclassed ? DefSubclassProc(window, message, wparam, lparam)
                          : DefWindowProcW(window, message, wparam, lparam);
    }
    try {
        return handler_.HandleMessage(message, wparam, lparam);
    } catch (...) {
        std::exception_ptr error = std::current_exception();
        if (creating_) {
            if (!creation_error_) creation_error_ = std::move(error);
        } else if (!ModalRun::Fail(GetAncestor(window_, GA_ROOT), error)) {
            ShowStandardErrorBox(error);
        }
        return 0;
    }
}

LRESULT CALLBACK Window::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->Dispatch(message, wparam, lparam) : DefWindowProcW(window, message, wparam, lparam);
}

LRESULT CALLBACK Window::SubclassProcedure(HWND, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                           DWORD_PTR self) noexcept {
    return reinterpret_cast<Window*>(self)->Dispatch(message, wparam, lparam);
}

// Only binds: from WM_INITDIALOG on, the handler sees the dialog's messages first
// and its Default hands them to the dialog manager, which calls this again for
// nothing.
INT_PTR CALLBACK Window::DialogProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
    if (message != WM_INITDIALOG) return FALSE;
    auto* self = reinterpret_cast<Window*>(lparam);
    if (self->window_ == window) return FALSE;
    try {
        self->Subclass(window);
    } catch (...) {
        self->creation_error_ = std::current_exception();
        return FALSE;
    }
    return self->Dispatch(message, wparam, lparam);
}

}  // namespace kadrix
