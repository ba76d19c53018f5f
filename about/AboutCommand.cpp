#include "about/DlgAbout.h"
#include "app/Main.h"
#include "app/ModalRun.h"

namespace kadrix {

void TMainForm::BtnAboutClick() {
    // Over the settings when they are open: a window that hides hands activation back
    // to its owner, and that must be the window that was in front.
    const HWND in_front = ModalRun::Innermost();
    TFormAbout FormAbout(in_front ? in_front : handle());
    FormAbout.ShowModal();  // its result changes nothing
}

}  // namespace kadrix
