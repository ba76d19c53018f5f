// The Wine session is the display it claims to be: the tests that rely on a scaled
// display or on two monitors would otherwise pass on the wrong one.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/Win32Handles.h"
#include "session_claim.h"

namespace kadrix::test {
namespace {

struct ScreenMetrics {
    int logpixels = 0;
    SIZE screen{};      // SM_CXSCREEN / SM_CYSCREEN
    int desktop_width = 0;  // DESKTOPHORZRES: real pixels whatever the awareness
};

ScreenMetrics MeasureIn(DPI_AWARENESS_CONTEXT context) {
    ScreenMetrics metrics;
    const bool switched = RunInDpiContext(context, [&] {
        const WindowDC screen(nullptr);
        metrics = {GetDeviceCaps(screen.get(), LOGPIXELSX),
                   {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)},
                   GetDeviceCaps(screen.get(), DESKTOPHORZRES)};
    });
    EXPECT_TRUE(switched) << "SetThreadDpiAwarenessContext failed or is missing";
    return metrics;
}

// Runs in the default session and again in the scaled one.
TEST(ScaledSession, MetricsMatchTheClaimedScale) {
    // Wine 8 refuses the V2 context; the first per-monitor one measures the same.
    const ScreenMetrics aware = MeasureIn(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    const ScreenMetrics unaware = MeasureIn(DPI_AWARENESS_CONTEXT_UNAWARE);
    // Whatever the session: an unaware thread sees 96 DPI and the screen shrunk to match.
    EXPECT_EQ(unaware.logpixels, 96);
    EXPECT_EQ(unaware.desktop_width, aware.screen.cx);
    EXPECT_EQ(unaware.screen.cx, MulDiv(aware.screen.cx, 96, aware.logpixels));
    EXPECT_EQ(unaware.screen.cy, MulDiv(aware.screen.cy, 96, aware.logpixels));

    const auto claim = SessionClaim();
    ASSERT_TRUE(claim) << "KADRIX_SESSION is not set: run through tests/wine/session.sh";
    ASSERT_TRUE(claim->kind == "default" || claim->kind == "scaled") << claim->kind;
    EXPECT_EQ(aware.logpixels, claim->dpi);
    EXPECT_EQ(aware.screen.cx, claim->screen.cx);
    EXPECT_EQ(aware.screen.cy, claim->screen.cy);
    if (claim->kind == "scaled" && claim->screen.cx == 1366) {
        EXPECT_EQ(unaware.screen.cx, 911);
        EXPECT_EQ(unaware.screen.cy, 512);
    }
}

::testing::AssertionResult SameRect(const RECT& got, const RECT& want) {
    if (EqualRect(&got, &want)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << got.left << "," << got.top << ")-(" << got.right << ","
                                         << got.bottom << "), want (" << want.left << "," << want.top << ")-("
                                         << want.right << "," << want.bottom << ")";
}

struct Monitor {
    RECT rect;
    bool primary;
};

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{sizeof(info)};
    if (GetMonitorInfoW(monitor, &info))
        reinterpret_cast<std::vector<Monitor>*>(list)->push_back({info.rcMonitor, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    return TRUE;
}

TEST(TwoMonitorsSession, PrimaryAtTheOriginAndTheOtherToItsLeft) {
    const auto claim = SessionClaim();
    ASSERT_TRUE(claim && claim->kind == "twomonitors") << "run in the two-monitor session (KADRIX_SESSION)";
    std::vector<Monitor> monitors;
    EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    std::ranges::sort(monitors, {}, [](const Monitor& m) { return m.rect.left; });
    ASSERT_EQ(monitors.size(), 2u);
    EXPECT_TRUE(SameRect(monitors[0].rect, {-1024, 0, 0, 768}));
    EXPECT_FALSE(monitors[0].primary);
    EXPECT_TRUE(SameRect(monitors[1].rect, {0, 0, 800, 600}));
    EXPECT_TRUE(monitors[1].primary);
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    EXPECT_TRUE(SameRect({left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)},
                         {-1024, 0, 800, 768})) << "the virtual screen";
    EXPECT_EQ(claim->screen.cx, 1824);
    EXPECT_EQ(claim->screen.cy, 768);
}

}  // namespace
}  // namespace kadrix::test
