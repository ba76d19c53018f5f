#pragma once
// Links that open their page as every link a user knows does: on a release inside the
// link after a press on it, not on the press. A press dragged off and let go elsewhere
// opens nothing.
#include <windows.h>

#include "app/Window.h"
#include "controls/ClickTracker.h"

namespace kadrix {

// For a static control with SS_NOTIFY, whose parent then receives STN_CLICKED
// (WM_COMMAND) on such a release only. The link's owner keeps this while the link lives.
class LinkClick : private MessageHandler {
public:
    explicit LinkClick(HWND link);

private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

    ClickTracker clicks_;
    Window window_{*this};
};

}  // namespace kadrix
