#pragma once
// What the Wine test session says it is (tests/wine/session.sh exports it), and a way to
// run code in a thread of a chosen DPI awareness, for tests that must hold at any scale.
#include <windows.h>

#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

namespace kadrix::test {

struct ClaimedSession {
    std::string kind;  // default, scaled or twomonitors
    int dpi = 96;
    SIZE screen{};     // the whole (virtual) screen, in real pixels
};

// None when the tests run outside the session runner (directly on Windows).
inline std::optional<ClaimedSession> SessionClaim() {
    const char* kind = std::getenv("KADRIX_SESSION");
    if (!kind) return std::nullopt;
    ClaimedSession claim{kind};
    if (claim.kind == "scaled") claim.dpi = 144;
    if (const char* screen = std::getenv("KADRIX_SCREEN"); screen) {
        char* end = nullptr;
        claim.screen.cx = std::strtol(screen, &end, 10);
        claim.screen.cy = *end == 'x' ? std::strtol(end + 1, nullptr, 10) : 0;
    }
    return claim;
}

// Runs `work` on a new thread switched to `context` (a DPI_AWARENESS_CONTEXT value);
// false when the thread could not be switched. The function is looked up at run time:
// Windows before 10 and older MinGW headers lack it.
template <typename Work>
bool RunInDpiContext(DPI_AWARENESS_CONTEXT context, Work&& work) {
    using SetContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
    const auto set_context = reinterpret_cast<SetContext>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetThreadDpiAwarenessContext")));
    if (!set_context) return false;
    bool switched = false;
    std::thread([&] {
        switched = set_context(context) != nullptr;
        if (switched) work();
    }).join();
    return switched;
}

}  // namespace kadrix::test
