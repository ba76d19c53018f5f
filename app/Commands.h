#pragma once
// Command identifiers of the main window. A button, its popup-menu item and its
// hotkey carry the same identifier, so one handler serves every trigger. The
// controls of the main window use these as their control identifiers too.

namespace kadrix {

enum Command : unsigned short {
    cmdScreen = 100,        // BtnScreenClick
    cmdActiveWindow,        // P_ItemScreenActWindowClickClick
    cmdRegion,              // P_ItemScreenUserWindowRectClickClick
    cmdShowHide,            // P_ItemShowHideClick
    cmdSettings,            // BtnSettingsClick
    cmdProgramSite,         // N6Click
    cmdCompanySite,         // N7Click
    cmdVkGroup,             // PI_VKSiteClick
    cmdSupport,             // G1Click
    cmdAbout,               // BtnAboutClick
    cmdExit,                // N11Click
};

// Hotkey identifiers as registered on the main window, and the command each runs.
inline constexpr int kHotkeyCount = 3;
inline constexpr Command kHotkeyCommands[kHotkeyCount] = {cmdScreen, cmdActiveWindow, cmdRegion};

// The notification-area callback message and the tray icon's identifier.
inline constexpr unsigned kTrayCallbackMessage = 0x8000 + 1;  // WM_APP + 1
inline constexpr unsigned kTrayIconId = 1;

inline constexpr const wchar_t* kMainWindowClass = L"TMainForm";

}  // namespace kadrix
