#pragma once
// Dialog push buttons and check boxes in the program's look. They stay stock BUTTON
// controls, so check state, clicks, the space bar, default and cancel handling and the
// tab order are the system's; only their painting is taken over, through the common
// controls' custom draw (version 6, which the program's manifest asks for). Without
// version 6 no custom draw arrives and they keep the stock look.
#include <windows.h>

namespace kadrix {

// For a dialog procedure's WM_NOTIFY: paints the push button or check box that asks
// through NM_CUSTOMDRAW and sets the dialog's message result. False for every other
// notification, which the dialog then leaves to the system.
bool DrawSkinDialogControl(HWND dialog, const NMHDR& notification);

}  // namespace kadrix
