#include "app/Main.h"
#include "app/ModalRun.h"
#include "settings/DlgSettings.h"

namespace kadrix {

void TMainForm::BtnSettingsClick() {
    // The tray menu still works while the dialog is open; a second command brings the
    // open dialog forward, or what runs over it, instead of stacking another one.
    if (const HWND open = TFormSetting::FindOpen(handle())) {
        SetForegroundWindow(ModalRun::ForegroundFor(open));
        return;
    }
    {
        TFormSetting form(handle());
        form.Fill(*this);
        if (form.ShowModal() != mrOk) return;
        form.CopyTo(*this);
    }
    // Saved once the dialog is gone, so a refused write reaches the error box without it.
    SaveOptions();
}

}  // namespace kadrix
