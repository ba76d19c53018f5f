#pragma once
// The program's one way to register a window class: once per process, each form
// naming only what differs from the defaults.
#include <windows.h>

#include "app/Window.h"

namespace kadrix {

struct WindowClassDecl {
    const wchar_t* name;
    WNDPROC procedure = &Window::Procedure;
    const wchar_t* cursor = IDC_ARROW;  // a system cursor
    HBRUSH background = nullptr;
    UINT style = 0;
    int window_extra = 0;               // bytes, DLGWINDOWEXTRA for dialog classes
    HICON icon = nullptr;
    HICON small_icon = nullptr;
};

// Registers the class in this program's module unless it is registered already;
// throws kadrix::Win32Error when the system refuses it.
void RegisterWindowClass(const WindowClassDecl& decl);

}  // namespace kadrix
