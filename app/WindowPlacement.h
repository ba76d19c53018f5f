#pragma once
// The program's one way to place a window when it opens: its client area sized as the
// form declares, the window centred over `over` (the desktop when null) and kept
// inside the work area of that window's monitor.
#include <windows.h>

namespace kadrix {

void PlaceCentred(HWND window, HWND over, int client_width, int client_height);

}  // namespace kadrix
