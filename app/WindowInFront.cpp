#include "app/WindowInFront.h"

#include <dwmapi.h>

#include <cwchar>
#include <iterator>

namespace kadrix {

namespace {

bool IsTaskbar(HWND window) noexcept {
    wchar_t name[32]{};
    if (!GetClassNameW(window, name, static_cast<int>(std::size(name)))) return false;
    // The primary monitor's taskbar, and the one on each other monitor.
    return std::wcscmp(name, L"Shell_TrayWnd") == 0 || std::wcscmp(name, L"Shell_SecondaryTrayWnd") == 0;
}

bool IsCloaked(HWND window) noexcept {
    DWORD cloaked = 0;
    return SUCCEEDED(DwmGetWindowAttribute(window, DWMWA_CLOAKED, &cloaked, sizeof(cloaked))) && cloaked != 0;
}

bool OnScreen(HWND window) noexcept {
    return IsWindowVisible(window) && !IsIconic(window) && !(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
}

}  // namespace

bool BelongsToProcess(HWND window, DWORD process) noexcept {
    DWORD owner = 0;
    return window && GetWindowThreadProcessId(window, &owner) && owner == process;
}

HWND UserWindowInFront(HWND foreground, DWORD program_process) noexcept {
    if (!foreground || BelongsToProcess(foreground, program_process)) return nullptr;
    if (!IsTaskbar(foreground)) return foreground;
    for (HWND window = GetWindow(foreground, GW_HWNDNEXT); window; window = GetWindow(window, GW_HWNDNEXT))
        if (OnScreen(window) && !IsTaskbar(window) && !IsCloaked(window) &&
            !BelongsToProcess(window, program_process))
            return window;
    return nullptr;
}

bool ThreadHasWindowOnScreen() noexcept {
    bool found = false;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) noexcept -> BOOL {
            if (!OnScreen(window)) return TRUE;
            *reinterpret_cast<bool*>(found) = true;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace kadrix
