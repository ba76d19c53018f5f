#include "app/Main.h"
#include "settings/DlgSettings.h"

namespace kadrix {

void TMainForm::BtnSettingsClick() {
    // The tray menu still works while the dialog is open; a second command brings the
    // open dialog forward instead of stacking another one over it.
    if (const HWND open = TFormSetting::FindOpen(handle())) {
        SetForegroundWindow(open);
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
