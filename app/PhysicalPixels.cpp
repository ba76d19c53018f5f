#include "app/PhysicalPixels.h"

namespace kadrix {

namespace {

using SetContextFunction = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);

// Looked up at run time: the program also starts on systems that lack it.
SetContextFunction SetThreadContext() noexcept {
    static const SetContextFunction function = [] {
        const HMODULE user32 = GetModuleHandleW(L"user32.dll");
        return user32 ? reinterpret_cast<SetContextFunction>(
                            reinterpret_cast<void*>(GetProcAddress(user32, "SetThreadDpiAwarenessContext")))
                      : nullptr;
    }();
    return function;
}

}  // namespace

PhysicalPixelsScope::PhysicalPixelsScope() noexcept {
    const SetContextFunction set = SetThreadContext();
    if (!set) return;
    // Version 2 exists from Windows 10 1703; 1607 knows only the first per-monitor context.
    previous_ = set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    if (!previous_) previous_ = set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
}

PhysicalPixelsScope::~PhysicalPixelsScope() {
    if (previous_) SetThreadContext()(previous_);
}

}  // namespace kadrix
