#pragma once
// Dialog push buttons and check boxes in the program's look. They stay stock BUTTON
// controls, so check state, clicks, the space bar, default and cancel handling and the
// tab order are the system's; only their painting is taken over, through the common
// controls' custom draw (version 6, which the program's manifest asks for). Without
// version 6 no custom draw arrives and they keep the stock look.
#include <windows.h>

#include <optional>

namespace kadrix {

// For a dialog's WM_NOTIFY: paints the push button or check box that asks through
// NM_CUSTOMDRAW and gives the message's result. None for every other notification,
// which the dialog then leaves to the system.
std::optional<LRESULT> DrawSkinDialogControl(const NMHDR& notification);

}  // namespace kadrix
