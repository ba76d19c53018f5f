#pragma once
#include <windows.h>

#include "app/Win32Handles.h"

namespace kadrix {

// The popup menu with its items, captions and identifiers, drawn by the skin.
unique_hmenu BuildTrayMenu();

// Shows the tray icon's popup menu at the mouse position; a chosen item arrives at
// the owner as WM_COMMAND with its command identifier.
void ShowTrayMenu(HWND owner);

}  // namespace kadrix
