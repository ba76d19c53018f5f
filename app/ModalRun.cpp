#include "app/ModalRun.h"

#include <utility>

#include "app/ModalResult.h"
#include "app/ScopeExit.h"
#include "app/Win32Error.h"

namespace kadrix {

namespace {

thread_local ModalRun* innermost_run = nullptr;

struct Collect {
    HWND modal;
    std::vector<HWND>* enabled;
    std::vector<HWND>* disabled;
};

BOOL CALLBACK CollectWindows(HWND window, LPARAM context) noexcept {
    auto& collect = *reinterpret_cast<Collect*>(context);
    if (window == collect.modal) return TRUE;
    try {
        (IsWindowEnabled(window) ? collect.enabled : collect.disabled)->push_back(window);
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool PumpMessages(HWND keys_window, const std::function<bool()>& stop, int& quit_code) {
    MSG message{};
    while (!stop()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) throw Win32Error(L"GetMessageW", GetLastError());
        if (got == 0) {
            quit_code = static_cast<int>(message.wParam);
            return true;
        }
        if (keys_window && IsDialogMessageW(keys_window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return false;
}

int ModalRun::Run(HWND window, ModalKeys keys, const std::function<void()>& show) {
    window_ = window;
    result_ = 0;
    error_ = nullptr;
    outer_ = std::exchange(innermost_run, this);
    const ScopeExit ended([this] {
        innermost_run = outer_;
        EnableOthers();
        Hide();
        window_ = nullptr;
    });
    DisableOthers();
    show();
    int quit_code = 0;
    if (PumpMessages(keys == ModalKeys::Dialog ? window : nullptr, [this] { return result_ != 0 || error_; },
                     quit_code)) {
        PostQuitMessage(quit_code);
        result_ = mrCancel;
    }
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
    return result_;
}

// As the system's dialog box ends: the owner is made active before anything else can
// be, so a click on it right away is not cut in two by a late activation that moves
// its focus (Wine's activation by hiding follows the X server's focus events).
void ModalRun::Hide() noexcept {
    if (GetCapture() && GetAncestor(GetCapture(), GA_ROOT) == window_) ReleaseCapture();
    const HWND owner = GetWindow(window_, GW_OWNER);
    if (GetActiveWindow() != window_ || !owner || !IsWindowVisible(owner)) {
        ShowWindow(window_, SW_HIDE);
        return;
    }
    if (IsChild(window_, GetFocus())) SetFocus(window_);
    SetWindowPos(window_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    SetForegroundWindow(owner);
}

void ModalRun::End(int result) noexcept { result_ = result; }

bool ModalRun::Fail(HWND window, std::exception_ptr error) noexcept {
    for (ModalRun* run = innermost_run; run; run = run->outer_) {
        if (run->window_ != window) continue;
        if (!run->error_) run->error_ = std::move(error);
        return true;
    }
    return false;
}

HWND ModalRun::Innermost() noexcept {
    for (const ModalRun* run = innermost_run; run; run = run->outer_)
        if (IsWindowVisible(run->window_)) return run->window_;
    return nullptr;
}

HWND ModalRun::ForegroundFor(HWND window) noexcept {
    const HWND modal = Innermost();
    return modal ? modal : window;
}

void ModalRun::DisableOthers() {
    std::vector<HWND> enabled;
    kept_disabled_.clear();
    Collect collect{window_, &enabled, &kept_disabled_};
    EnumThreadWindows(GetCurrentThreadId(), &CollectWindows, reinterpret_cast<LPARAM>(&collect));
    for (HWND window : enabled) EnableWindow(window, FALSE);
    disabled_ = std::move(enabled);
}

void ModalRun::EnableOthers() noexcept {
    for (auto window = disabled_.rbegin(); window != disabled_.rend(); ++window)
        if (IsWindow(*window)) EnableWindow(*window, TRUE);
    disabled_.clear();
    for (HWND window : kept_disabled_)
        if (IsWindow(window) && IsWindowEnabled(window)) EnableWindow(window, FALSE);
}

}  // namespace kadrix
