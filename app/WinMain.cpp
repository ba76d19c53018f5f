// Program entry: the COM apartment, the main window, and the message loop.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/ErrorBox.h"
#include "app/Main.h"

namespace {

// The folder chooser needs a single-threaded apartment on the UI thread.
class ComApartment {
public:
    ComApartment() : initialized_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComApartment() {
        if (initialized_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialized_;
};

int RunMessageLoop(HWND main_window) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(main_window, &message)) continue;  // Tab between the buttons
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
    ComApartment com;
    const INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    try {
        kadrix::TMainForm main_form(instance);
        main_form.ShowAtStart(show_command);
        return RunMessageLoop(main_form.handle());
    } catch (...) {
        kadrix::ShowStandardErrorBox(std::current_exception());
        return 1;
    }
}
