// Program entry: the COM apartment, the main window, and the message loop.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/ErrorBox.h"
#include "app/Main.h"
#include "app/ModalRun.h"

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

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
    ComApartment com;
    const INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    try {
        kadrix::TMainForm main_form(instance);
        main_form.ShowAtStart(show_command);
        int exit_code = 0;
        // Tab moves between the main window's buttons.
        kadrix::PumpMessages(main_form.handle(), [] { return false; }, exit_code);
        return exit_code;
    } catch (...) {
        kadrix::ShowStandardErrorBox(std::current_exception());
        return 1;
    }
}
