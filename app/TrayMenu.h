#pragma once
#include <windows.h>

#include "app/Commands.h"
#include "app/Win32Handles.h"

namespace kadrix {

// The popup menu with its items, captions and identifiers, drawn by the skin.
unique_hmenu BuildTrayMenu();

// Shows the tray icon's popup menu at the mouse position and returns the command
// chosen, once the menu has closed; 0 when it was closed without a choice.
Command ChooseFromTrayMenu(HWND owner);

}  // namespace kadrix
