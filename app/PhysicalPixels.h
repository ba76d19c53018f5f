#pragma once
// The program's windows declare no DPI awareness, so the system scales them; a capture
// must still see the screen as it is. While one of these lives, the thread works in
// the screen's real pixels: sizes, positions, device contexts and windows it creates.
#include <windows.h>

namespace kadrix {

class PhysicalPixelsScope {
public:
    PhysicalPixelsScope() noexcept;
    ~PhysicalPixelsScope();
    PhysicalPixelsScope(const PhysicalPixelsScope&) = delete;
    PhysicalPixelsScope& operator=(const PhysicalPixelsScope&) = delete;

    // False where the system has no per-thread contexts (before Windows 10 1607): then
    // the thread keeps the process's own context, which is all such a system offers.
    bool active() const noexcept { return previous_ != nullptr; }

private:
    DPI_AWARENESS_CONTEXT previous_ = nullptr;
};

}  // namespace kadrix
