#include "app/TrayIcon.h"

#include <shellapi.h>

#include <cwchar>

namespace kadrix {

TrayIcon::TrayIcon(HWND owner, UINT id, UINT callback_message, HINSTANCE instance, int icon_resource,
                   std::wstring tip)
    : owner_(owner), id_(id), callback_message_(callback_message),
      icon_(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(icon_resource), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0))),
      tip_(std::move(tip)) {
    Add();
}

TrayIcon::~TrayIcon() {
    NOTIFYICONDATAW data{sizeof(data)};
    data.hWnd = owner_;
    data.uID = id_;
    Shell_NotifyIconW(NIM_DELETE, &data);
}

void TrayIcon::Add() {
    NOTIFYICONDATAW data{sizeof(data)};
    data.hWnd = owner_;
    data.uID = id_;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callback_message_;
    data.hIcon = icon_.get();
    wcsncpy(data.szTip, tip_.c_str(), std::size(data.szTip) - 1);
    Shell_NotifyIconW(NIM_ADD, &data);
}

}  // namespace kadrix
