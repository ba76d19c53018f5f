#pragma once
// Watches the calling thread for the program's standard error box, or another message
// box by its caption: a helper thread reads the first one that shows and closes it, so
// a test that makes a callback fail learns what the box said instead of blocking under it.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "app/TavikConsts.h"

namespace kadrix::test {

class ErrorBoxWatch {
public:
    explicit ErrorBoxWatch(std::wstring caption = ApplicationTitle)
        : thread_(GetCurrentThreadId()), caption_(std::move(caption)), watcher_([this] { Watch(); }) {}
    ~ErrorBoxWatch() {
        done_ = true;
        watcher_.join();
    }
    ErrorBoxWatch(const ErrorBoxWatch&) = delete;
    ErrorBoxWatch& operator=(const ErrorBoxWatch&) = delete;

    // Every text in the box, one a line; empty while none has shown.
    std::wstring Texts() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return texts_;
    }
    HWND Owner() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return owner_;
    }
    int Buttons() {  // the visible ones
        const std::lock_guard<std::mutex> lock(mutex_);
        return buttons_;
    }
    HICON Icon() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return icon_;
    }

private:
    void Watch() {
        while (!done_) {
            EnumThreadWindows(thread_, &Found, reinterpret_cast<LPARAM>(this));
            Sleep(10);  // polling a window that the watched thread is still creating
        }
    }

    // Every window of the watched thread is looked at without messages: GetWindowTextW
    // would send one to that thread, which may be waiting in the destructor for this
    // thread to end. Only the box's icon takes a message (see Collect).
    static BOOL CALLBACK Found(HWND window, LPARAM self) noexcept {
        wchar_t name[16] = {}, title[64] = {};
        GetClassNameW(window, name, 16);
        InternalGetWindowText(window, title, 64);
        if (!IsWindowVisible(window) || std::wstring_view(name) != L"#32770" ||
            std::wstring_view(title) != reinterpret_cast<ErrorBoxWatch*>(self)->caption_)
            return TRUE;
        auto& watch = *reinterpret_cast<ErrorBoxWatch*>(self);
        {
            const std::lock_guard<std::mutex> lock(watch.mutex_);
            watch.owner_ = GetWindow(window, GW_OWNER);
        }
        EnumChildWindows(window, &Collect, self);
        watch.done_ = true;
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return FALSE;
    }

    // The icon is known to its static control only, so it is asked for: the box is up,
    // and the thread that shows it answers in the box's own loop until this thread
    // closes it. A box closed some other way would leave a thread that may no longer
    // answer (see Found): the question is bounded and then counts as no icon.
    static BOOL CALLBACK Collect(HWND child, LPARAM self) noexcept {
        wchar_t text[256] = {}, name[16] = {};
        InternalGetWindowText(child, text, 256);
        GetClassNameW(child, name, 16);
        DWORD_PTR answer = 0;
        const auto icon = SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_NORMAL, 2000, &answer)
                              ? reinterpret_cast<HICON>(answer)
                              : nullptr;
        auto& watch = *reinterpret_cast<ErrorBoxWatch*>(self);
        const std::lock_guard<std::mutex> lock(watch.mutex_);
        watch.texts_ += std::wstring(text) + L"\n";
        if (IsWindowVisible(child) && CompareStringOrdinal(name, -1, L"Button", -1, TRUE) == CSTR_EQUAL) ++watch.buttons_;
        if (icon && CompareStringOrdinal(name, -1, L"Static", -1, TRUE) == CSTR_EQUAL) watch.icon_ = icon;
        return TRUE;
    }

    DWORD thread_;
    std::wstring caption_;
    std::atomic<bool> done_ = false;
    std::mutex mutex_;
    std::wstring texts_;
    HWND owner_ = nullptr;
    int buttons_ = 0;
    HICON icon_ = nullptr;
    std::thread watcher_;  // last: starts once everything it reads exists
};

}  // namespace kadrix::test
