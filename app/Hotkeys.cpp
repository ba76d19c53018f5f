#include "app/Hotkeys.h"

#include "app/Commands.h"
#include "app/Trace.h"

namespace kadrix {

namespace {

// Held down past the keyboard's repeat delay, a combination still captures once.
constexpr UINT kHotkeyModifiers = MOD_ALT | MOD_NOREPEAT;
constexpr UINT kHotkeyKeys[kHotkeyCount] = {VK_NUMPAD0, VK_NUMPAD1, VK_NUMPAD2};

}  // namespace

void RegisterHotkeys(HWND window, RegisterHotKeyFunction register_hotkey) {
    for (int id = 0; id < kHotkeyCount; ++id)
        if (!register_hotkey(window, id, kHotkeyModifiers, kHotkeyKeys[id]))
            TraceCode(L"RegisterHotKey", GetLastError());
}

void UnregisterHotkeys(HWND window) {
    for (int id = 0; id < kHotkeyCount; ++id) UnregisterHotKey(window, id);
}

}  // namespace kadrix
