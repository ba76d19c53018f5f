#include "about/DlgAbout.h"
#include "app/Main.h"
#include "app/ModalScope.h"

namespace kadrix {

void TMainForm::BtnAboutClick() {
    // Over the settings when they are open: the dialog box hands activation back to its
    // owner when it ends, and that must be the window that was in front.
    const HWND in_front = ModalScope::Innermost();
    TFormAbout FormAbout(in_front ? in_front : handle());
    FormAbout.ShowModal();  // its result changes nothing
}

}  // namespace kadrix
