#pragma once
// The notification-area icon: present from construction to destruction. The area may
// not take it yet (at logon, while Explorer restarts or is busy): a refused add is tried
// again, ever less often, until it succeeds, and the icon is added anew whenever the
// taskbar is re-created. The picture is loaded at the size the area draws it in real
// pixels, so it is not stretched on a scaled display.
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "app/Win32Handles.h"

namespace kadrix {

// The system calls the tray icon makes; a test can answer in their place.
struct TrayShell {
    BOOL(WINAPI* notifyIcon)(DWORD, PNOTIFYICONDATAW) = ::Shell_NotifyIconW;
    BOOL(WINAPI* messageFilter)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT) = ::ChangeWindowMessageFilterEx;
};

class TrayIcon {
public:
    // The owner's timer that brings the next try of a refused add.
    static constexpr UINT_PTR kAddTimer = 0x7A1;

    TrayIcon(HWND owner, UINT id, UINT callback_message, HINSTANCE instance, int icon_resource, std::wstring tip,
             const TrayShell& shell = {});
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // The owner's window procedure passes every message here first: true for those the
    // icon has handled ("TaskbarCreated" and the add timer).
    bool HandleMessage(UINT message, WPARAM wparam);

private:
    void Add();
    void TryAdd();
    NOTIFYICONDATAW Data() const;

    HWND owner_;
    UINT id_;
    UINT callback_message_;
    unique_hicon icon_;
    std::wstring tip_;
    TrayShell shell_;
    UINT taskbar_created_;
    UINT next_delay_ms_ = 0;
};

}  // namespace kadrix
