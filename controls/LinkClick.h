#pragma once
// Links that open their page as every link a user knows does: on a release inside the
// link after a press on it, not on the press. A press dragged off and let go elsewhere
// opens nothing.
#include <windows.h>

namespace kadrix {

// `link` is a static control with SS_NOTIFY; its parent then receives STN_CLICKED
// (WM_COMMAND) on such a release only.
void ClickOnRelease(HWND link);

}  // namespace kadrix
