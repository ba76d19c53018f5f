#pragma once
// While a modal window runs, every other window of the program is disabled, not only
// its owner: a modal opened over another (About over Settings, both from the tray)
// must not hand the outer one's owner back when it ends. Each window comes back as
// it was, in reverse order, when the scope ends.
#include <windows.h>

#include <vector>

namespace kadrix {

class ModalScope {
public:
    // `modal` stays enabled; null when the modal window does not exist yet.
    explicit ModalScope(HWND modal = nullptr);
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

    // Gives the windows back early, for example before the modal window is hidden, so
    // that activation returns to them.
    void End() noexcept;

    // The modal window in front, which a modal opened over it must own: the dialog box
    // hands activation back to its owner when it ends. Null when none runs.
    static HWND Innermost() noexcept;

private:
    HWND modal_;
    ModalScope* outer_;
    std::vector<HWND> disabled_;
    // Disabled by an outer modal: the system's dialog box enables its owner when it
    // ends whatever the owner was before, so these are disabled again at the end.
    std::vector<HWND> kept_disabled_;
};

}  // namespace kadrix
