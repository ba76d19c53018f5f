#pragma once
// The desktop and active-window grabs, in the screen's real pixels whatever the
// calling thread's DPI awareness: one block transfer into the reused capture bitmap.
#include <windows.h>

#include <dwmapi.h>

#include <memory>

#include "imaging/Bitmap.h"
#include "region/SelectionGeometry.h"

namespace kadrix {

// Copies `area` of the screen into the bitmap's top-left corner. Throws Win32Error when
// the system refuses the copy, as it does on the secure desktop and in a locked or
// disconnected session: the bitmap then still holds whatever it held before.
void CopyScreen(Bitmap& target, const Rect& area);

// The primary monitor, 24 bits per pixel; with the cursor drawn in when a slot for its
// picture is given, which is emptied again afterwards.
void GrabPrimaryMonitor(Bitmap& target, std::unique_ptr<Bitmap>* cursor_slot = nullptr);

// The system calls the window grab asks about a window; a test can answer in their place.
struct WindowQuery {
    BOOL(WINAPI* windowRect)(HWND, LPRECT) = ::GetWindowRect;
    HRESULT(WINAPI* dwmAttribute)(HWND, DWORD, PVOID, DWORD) = ::DwmGetWindowAttribute;
    BOOL(WINAPI* iconic)(HWND) = ::IsIconic;
    BOOL(WINAPI* zoomed)(HWND) = ::IsZoomed;
    BOOL(WINAPI* monitorInfo)(HMONITOR, LPMONITORINFO) = ::GetMonitorInfoW;
};

// The window's visible frame as the screen shows it (see WindowArea.h), in the
// bitmap's current pixel format. False, with the bitmap untouched, for no window and
// for one that shows nothing on the screen: hidden, minimized, cloaked or off it.
bool GrabWindow(Bitmap& target, HWND window, const WindowQuery& query = {});

}  // namespace kadrix
