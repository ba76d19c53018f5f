#include "app/TrayIcon.h"

#include <algorithm>
#include <cwchar>

#include "app/PhysicalPixels.h"

namespace kadrix {

namespace {

constexpr UINT kFirstRetryMs = 100;
constexpr UINT kLongestRetryMs = 5000;

// The notification area draws at the screen's real scale, whatever the program declares.
unique_hicon LoadTrayPicture(HINSTANCE instance, int resource) {
    const PhysicalPixelsScope physical;
    return unique_hicon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(resource), IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                      0)));
}

}  // namespace

TrayIcon::TrayIcon(HWND owner, UINT id, UINT callback_message, HINSTANCE instance, int icon_resource,
                   std::wstring tip, const TrayShell& shell)
    : owner_(owner), id_(id), callback_message_(callback_message), icon_(LoadTrayPicture(instance, icon_resource)),
      tip_(std::move(tip)), shell_(shell), taskbar_created_(RegisterWindowMessageW(L"TaskbarCreated")) {
    // A copy run as administrator hears a normal Explorer only when it lets the message in.
    if (taskbar_created_) shell_.messageFilter(owner_, taskbar_created_, MSGFLT_ALLOW, nullptr);
    Add();
}

TrayIcon::~TrayIcon() {
    KillTimer(owner_, kAddTimer);
    NOTIFYICONDATAW data = Data();
    shell_.notifyIcon(NIM_DELETE, &data);
}

bool TrayIcon::HandleMessage(UINT message, WPARAM wparam) {
    if (message == taskbar_created_ && message != 0) {
        Add();
        return true;
    }
    if (message == WM_TIMER && wparam == kAddTimer) {
        KillTimer(owner_, kAddTimer);
        TryAdd();
        return true;
    }
    return false;
}

void TrayIcon::Add() {
    KillTimer(owner_, kAddTimer);
    next_delay_ms_ = kFirstRetryMs;
    TryAdd();
}

void TrayIcon::TryAdd() {
    NOTIFYICONDATAW data = Data();
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callback_message_;
    data.hIcon = icon_.get();
    wcsncpy(data.szTip, tip_.c_str(), std::size(data.szTip) - 1);
    // A busy Explorer can let the call time out and still take the icon; it then answers a modify.
    if (shell_.notifyIcon(NIM_ADD, &data) || shell_.notifyIcon(NIM_MODIFY, &data)) return;
    SetTimer(owner_, kAddTimer, next_delay_ms_, nullptr);
    next_delay_ms_ = std::min(next_delay_ms_ * 2, kLongestRetryMs);
}

NOTIFYICONDATAW TrayIcon::Data() const {
    NOTIFYICONDATAW data{sizeof(data)};
    data.hWnd = owner_;
    data.uID = id_;
    return data;
}

}  // namespace kadrix
