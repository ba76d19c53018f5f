// The window grab given the answers Windows 10 gives about a window, which Wine does
// not: a rectangle with invisible resize borders around the visible frame, and a
// maximized window overhanging its monitor. The grab must copy exactly the frame, as
// the screen shows it, from a thread that declares no DPI awareness.
#include <gtest/gtest.h>

#include "capture/Grabbers.h"
#include "real_pixels.h"

namespace kadrix {
namespace {

using e2e::KnownPicture;
using e2e::WaitFor;

COLORREF Pattern(POINT p) { return RGB((p.x * 3) & 0xFF, (p.y * 5) & 0xFF, 0x40 + ((p.x + p.y) & 0x3F)); }

struct Answers {
    RECT window;
    RECT frame;
    DWORD cloaked = 0;
    BOOL iconic = FALSE;
    BOOL zoomed = FALSE;
};

// What the query below answers: the grab's query takes plain functions.
const Answers* answers = nullptr;

const WindowQuery kWindows10{
    [](HWND, LPRECT rect) -> BOOL {
        *rect = answers->window;
        return TRUE;
    },
    [](HWND, DWORD attribute, PVOID value, DWORD size) -> HRESULT {
        if (attribute == DWMWA_EXTENDED_FRAME_BOUNDS && size == sizeof(RECT)) {
            *static_cast<RECT*>(value) = answers->frame;
            return S_OK;
        }
        if (attribute == DWMWA_CLOAKED && size == sizeof(DWORD)) {
            *static_cast<DWORD*>(value) = answers->cloaked;
            return S_OK;
        }
        return E_INVALIDARG;
    },
    [](HWND) { return answers->iconic; },
    [](HWND) { return answers->zoomed; },
    ::GetMonitorInfoW,
};

RECT Bordered(RECT frame, int border) {
    return {frame.left - border, frame.top, frame.right + border, frame.bottom + border};
}

TEST(ScaledWindowGrab, CopiesExactlyTheVisibleFrameWindows10Tells) {
    const SIZE real = test::RealPrimarySize();
    const KnownPicture backdrop({0, 0, real.cx, real.cy}, &Pattern);
    ASSERT_TRUE(WaitFor([&] { return backdrop.Shown(); }));
    const HWND window = FindWindowW(L"E2EKnownPicture", nullptr);
    ASSERT_TRUE(window);
    MONITORINFO monitor{sizeof(monitor)};
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor));
    const RECT work = monitor.rcWork;
    const RECT frame{200, 150, 800, 550};
    const struct {
        const char* name;
        Answers answers;
    } cases[] = {
        {"at 100 %", {Bordered(frame, 7), frame}},
        {"at 150 %", {Bordered(frame, 11), frame}},
        {"maximized at 100 %", {{work.left - 8, work.top - 8, work.right + 8, work.bottom + 8}, work, 0, FALSE, TRUE}},
        {"maximized at 150 %",
         {{work.left - 12, work.top - 12, work.right + 12, work.bottom + 12}, work, 0, FALSE, TRUE}},
    };
    const e2e::Picture screen = e2e::ScreenPicture({0, 0, real.cx, real.cy});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        answers = &c.answers;
        Bitmap capture;
        bool grabbed = false;
        ASSERT_TRUE(test::RunUnaware([&] { grabbed = GrabWindow(capture, window, kWindows10); }));
        ASSERT_TRUE(grabbed);
        const RECT& copied = c.answers.frame;
        ASSERT_EQ(capture.width(), copied.right - copied.left);
        ASSERT_EQ(capture.height(), copied.bottom - copied.top);
        const e2e::Picture picture = test::PictureOf(capture);
        int wrong = 0;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                wrong += picture.at({x, y}) != screen.at({copied.left + x, copied.top + y});
        EXPECT_EQ(wrong, 0) << "pixels unlike the screen's in the frame";
    }
}

TEST(ScaledWindowGrab, MinimizedAndCloakedWindowsGiveNoCapture) {
    const RECT frame{200, 150, 800, 550};
    const KnownPicture shown(frame, &Pattern);
    ASSERT_TRUE(WaitFor([&] { return shown.Shown(); }));
    const HWND window = FindWindowW(L"E2EKnownPicture", nullptr);
    ASSERT_TRUE(window);
    const struct {
        const char* name;
        Answers answers;
    } cases[] = {
        {"minimized", {{-32000, -32000, -31840, -31972}, {-32000, -32000, -31840, -31972}, 0, TRUE}},
        {"cloaked", {Bordered(frame, 7), frame, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        answers = &c.answers;
        Bitmap capture;
        capture.setPixelFormat(PixelFormat::Bits24);
        capture.setSize(3, 2);
        SetPixel(capture.canvas(), 2, 1, RGB(10, 20, 30));
        bool grabbed = true;
        ASSERT_TRUE(test::RunUnaware([&] { grabbed = GrabWindow(capture, window, kWindows10); }));
        EXPECT_FALSE(grabbed);
        EXPECT_EQ(capture.width(), 3);
        EXPECT_EQ(capture.height(), 2);
        EXPECT_EQ(GetPixel(capture.canvas(), 2, 1), RGB(10, 20, 30)) << "the bitmap is left as it was";
    }
}

}  // namespace
}  // namespace kadrix
