#include "app/ModalScope.h"

#include <utility>

namespace kadrix {

namespace {

thread_local ModalScope* innermost_scope = nullptr;

struct Collect {
    HWND modal;
    std::vector<HWND>* enabled;
    std::vector<HWND>* disabled;
};

BOOL CALLBACK CollectWindows(HWND window, LPARAM context) noexcept {
    auto& collect = *reinterpret_cast<Collect*>(context);
    if (window == collect.modal) return TRUE;
    try {
        (IsWindowEnabled(window) ? collect.enabled : collect.disabled)->push_back(window);
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

}  // namespace

ModalScope::ModalScope(HWND modal) : modal_(modal), outer_(innermost_scope) {
    innermost_scope = this;
    std::vector<HWND> enabled;
    Collect collect{modal, &enabled, &kept_disabled_};
    EnumThreadWindows(GetCurrentThreadId(), &CollectWindows, reinterpret_cast<LPARAM>(&collect));
    for (HWND window : enabled) EnableWindow(window, FALSE);
    disabled_ = std::move(enabled);
}

ModalScope::~ModalScope() {
    innermost_scope = outer_;
    End();
    for (HWND window : kept_disabled_)
        if (IsWindow(window) && IsWindowEnabled(window)) EnableWindow(window, FALSE);
}

HWND ModalScope::Innermost() noexcept {
    for (const ModalScope* scope = innermost_scope; scope; scope = scope->outer_)
        if (scope->modal_ && IsWindowVisible(scope->modal_)) return scope->modal_;
    return nullptr;
}

void ModalScope::End() noexcept {
    for (auto window = disabled_.rbegin(); window != disabled_.rend(); ++window)
        if (IsWindow(*window)) EnableWindow(*window, TRUE);
    disabled_.clear();
}

}  // namespace kadrix
