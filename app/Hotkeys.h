#pragma once
// The global hotkeys Alt+Num0, Alt+Num1 and Alt+Num2, registered on the main window
// under the identifiers 0 .. kHotkeyCount - 1 (see kHotkeyCommands).
#include <windows.h>

namespace kadrix {

// ::RegisterHotKey, or whatever stands in for it.
using RegisterHotKeyFunction = BOOL(WINAPI*)(HWND window, int id, UINT modifiers, UINT key);

// A combination another program holds is simply not ours: it is traced, and the others
// are registered all the same.
void RegisterHotkeys(HWND window, RegisterHotKeyFunction register_hotkey = &::RegisterHotKey);
void UnregisterHotkeys(HWND window);

}  // namespace kadrix
