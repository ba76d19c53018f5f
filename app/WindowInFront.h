#pragma once
// Which window the user has in front. A command chosen from the tray must act on it,
// though the click and the menu have taken the foreground from it.
#include <windows.h>

namespace kadrix {

bool BelongsToProcess(HWND window, DWORD process) noexcept;

// The window the user works in, given the foreground: none when that is a window of
// `program_process` (or none at all). A click on the notification area makes the
// taskbar the foreground; the user's window is then the first beneath it that is on
// screen: visible, not minimised, not cloaked on another desktop, not a tool window.
HWND UserWindowInFront(HWND foreground, DWORD program_process) noexcept;

// Whether a window of the calling thread shows on screen: visible, not minimised, and
// not a tool window such as a hidden hint.
bool ThreadHasWindowOnScreen() noexcept;

}  // namespace kadrix
