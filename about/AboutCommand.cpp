#include "about/DlgAbout.h"
#include "app/Main.h"

namespace kadrix {

void TMainForm::BtnAboutClick() {
    TFormAbout FormAbout(handle());
    FormAbout.ShowModal();  // its result changes nothing
}

}  // namespace kadrix
