#pragma once
// The notification-area icon: present from construction to destruction, re-added
// when the taskbar is re-created.
#include <windows.h>

#include <string>

#include "app/Win32Handles.h"

namespace kadrix {

class TrayIcon {
public:
    TrayIcon(HWND owner, UINT id, UINT callback_message, HINSTANCE instance, int icon_resource, std::wstring tip);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    void Add();

private:
    HWND owner_;
    UINT id_;
    UINT callback_message_;
    unique_hicon icon_;
    std::wstring tip_;
};

}  // namespace kadrix
