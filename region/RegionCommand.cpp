#include "app/Main.h"
#include "region/DlgScreenRect.h"

namespace kadrix {

void TMainForm::P_ItemScreenUserWindowRectClickClick() {
    // The overlay belongs to this command alone: one opened over it by the hotkey is
    // another command's, and each is released when its own command returns.
    TFormScreenRect overlay;
    overlay.SetBounds(0, 0, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    HideAroundCapture([&] {
        if (overlay.ShowModal() == mrOk) SaveCurrentScreen();
    });
}

}  // namespace kadrix
