#pragma once
#include <windows.h>

namespace kadrix {


// Shows the tray icon's popup menu at the mouse position; a chosen item arrives at
// the owner as WM_COMMAND with its command identifier.
void ShowTrayMenu(HWND owner);

}  // namespace kadrix
