#pragma once
// The program's one modal loop. While a modal window runs, every other window of the
// program is disabled, not only its owner: a modal opened over another (About over
// Settings, both from the tray) must not hand the outer one's owner back when it
// ends. Each comes back as it was, in reverse order, before the modal window hides,
// so that activation returns to the window under it.
#include <windows.h>

#include <exception>
#include <functional>
#include <vector>

namespace kadrix {

enum class ModalKeys {
    Window,  // keys go to the focused window as they are
    Dialog,  // Tab, Enter and Esc work as in a dialog box
};

class ModalRun {
public:
    ModalRun() = default;
    ModalRun(const ModalRun&) = delete;
    ModalRun& operator=(const ModalRun&) = delete;

    // Disables the others, calls `show`, and runs the thread's messages until End, an
    // error of one of the window's handlers, or the program's end (mrCancel; the quit
    // is left to the main loop). The window is hidden afterwards; the error is thrown.
    int Run(HWND window, ModalKeys keys, const std::function<void()>& show);
    // The run stops once the current message is handled.
    void End(int result) noexcept;
    bool running() const noexcept { return window_ != nullptr; }

    // Ends the run of `window` with the error, if one runs; false when none does.
    static bool Fail(HWND window, std::exception_ptr error) noexcept;
    // The modal window in front, which a modal opened over it must own. Null when none runs.
    static HWND Innermost() noexcept;
    // The window to bring to the foreground for `window`: the innermost modal window
    // while one runs. Activating a disabled owner raises it, and when the activation
    // comes late, as Wine's does, it lies over its own modal window and takes the
    // clicks meant for it.
    static HWND ForegroundFor(HWND window) noexcept;

private:
    void DisableOthers();
    void EnableOthers() noexcept;
    void Hide() noexcept;

    HWND window_ = nullptr;
    ModalRun* outer_ = nullptr;
    int result_ = 0;
    std::exception_ptr error_;
    std::vector<HWND> disabled_;
    // Disabled by an outer run: whatever enables them meanwhile, they are disabled again at the end.
    std::vector<HWND> kept_disabled_;
};

// Runs the thread's messages until `stop` says so after one of them or WM_QUIT comes;
// true for WM_QUIT, whose code goes to `quit_code`. `keys_window` gets dialog keys.
bool PumpMessages(HWND keys_window, const std::function<bool()>& stop, int& quit_code);

}  // namespace kadrix
