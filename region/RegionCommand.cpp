#include "app/Main.h"
#include "app/PhysicalPixels.h"
#include "region/DlgScreenRect.h"
#include "region/RegionSelection.h"

namespace kadrix {

std::unique_ptr<Bitmap> SelectScreenRegion() {
    // For the overlay's whole life: it is made, placed, driven and copied in real pixels.
    const PhysicalPixelsScope physical;
    // The overlay belongs to this call alone: one opened over it by the hotkey is
    // another command's, and each is released when its own command returns.
    TFormScreenRect overlay;
    overlay.SetBounds(GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                      GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    if (overlay.ShowModal() != mrOk) return nullptr;
    return overlay.TakeSelection();
}

void TMainForm::P_ItemScreenUserWindowRectClickClick() {
    HideAroundCapture([this] {
        std::unique_ptr<Bitmap> selection = SelectScreenRegion();
        if (!selection) return;
        BMPScreen = std::move(selection);
        SaveCurrentScreen();
    });
}

}  // namespace kadrix
