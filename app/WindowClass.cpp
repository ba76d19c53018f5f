#include "app/WindowClass.h"

#include "app/Win32Error.h"

namespace kadrix {

void RegisterWindowClass(const WindowClassDecl& decl) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW window_class{sizeof(window_class)};
    if (GetClassInfoExW(instance, decl.name, &window_class)) return;
    window_class.style = decl.style;
    window_class.lpfnWndProc = decl.procedure;
    window_class.cbWndExtra = decl.window_extra;
    window_class.hInstance = instance;
    window_class.hIcon = decl.icon;
    window_class.hIconSm = decl.small_icon;
    window_class.hCursor = LoadCursorW(nullptr, decl.cursor);
    window_class.hbrBackground = decl.background;
    window_class.lpszClassName = decl.name;
    if (!RegisterClassExW(&window_class)) throw Win32Error(L"RegisterClassExW", GetLastError());
}

}  // namespace kadrix
