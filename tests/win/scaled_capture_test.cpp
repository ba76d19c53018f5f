// Grabs, the region overlay and the cursor step run from a thread that declares no DPI
// awareness, as the program's own thread does on Windows. On a scaled display such a
// thread is told smaller sizes and positions; the captures must still hold the
// screen's real pixels. The same tests run at 96 DPI, where nothing is scaled.
#include <gtest/gtest.h>

#include "capture/Grabbers.h"
#include "real_pixels.h"

namespace kadrix {
namespace {

using e2e::KnownPicture;
using e2e::WaitFor;

// No colour the overlay uses: every pixel tells where it came from.
COLORREF Pattern(POINT p) { return RGB((p.x * 3) & 0xFF, (p.y * 5) & 0xFF, 0x40 + ((p.x + p.y) & 0x3F)); }

TEST(ScaledGrabs, DesktopIsTheWholePrimaryMonitorInRealPixels) {
    const SIZE real = test::RealPrimarySize();
    const KnownPicture backdrop({0, 0, real.cx, real.cy}, &Pattern);
    ASSERT_TRUE(WaitFor([&] { return backdrop.Shown(); }));
    const e2e::Picture screen = e2e::ScreenPicture({0, 0, real.cx, real.cy});

    Bitmap capture;
    ASSERT_TRUE(test::RunUnaware([&] { GrabPrimaryMonitor(capture); }));
    ASSERT_EQ(capture.width(), real.cx);
    ASSERT_EQ(capture.height(), real.cy);
    const e2e::Picture grabbed = test::PictureOf(capture);
    int wrong = 0;
    for (std::size_t i = 0; i < screen.pixels.size(); ++i) wrong += grabbed.pixels[i] != screen.pixels[i];
    EXPECT_EQ(wrong, 0) << "pixels unlike the screen's";
}

TEST(ScaledGrabs, ForegroundWindowIsCapturedAtItsRealSizeWithItsPixels) {
    const RECT area{100, 120, 700, 520};  // 600 x 400, made by an aware thread
    const KnownPicture window(area, &Pattern);
    ASSERT_TRUE(WaitFor([&] { return window.Shown(); }));
    const HWND target = FindWindowW(L"E2EKnownPicture", nullptr);
    ASSERT_TRUE(target);
    SetForegroundWindow(target);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == target; }));

    Bitmap capture;
    bool grabbed = false;
    ASSERT_TRUE(test::RunUnaware([&] { grabbed = GrabWindow(capture, target); }));
    ASSERT_TRUE(grabbed);
    ASSERT_EQ(capture.width(), 600);
    ASSERT_EQ(capture.height(), 400);
    EXPECT_EQ(test::WrongPixels(test::PictureOf(capture), {area.left, area.top}, &Pattern), 0);
}

TEST(ScaledOverlay, CoversTheVirtualScreenAndADragGivesExactlyTheFramedPixels) {
    const KnownPicture backdrop({0, 0, 700, 500}, &Pattern);
    ASSERT_TRUE(WaitFor([&] { return backdrop.Shown(); }));
    const test::DrivenSelection driven = test::DriveRegionSelection({100, 50}, {300, 200});
    const RECT screen = test::RealVirtualScreen();
    EXPECT_TRUE(EqualRect(&driven.overlay, &screen))
        << driven.overlay.left << "," << driven.overlay.top << " " << driven.overlay.right << "," << driven.overlay.bottom;
    ASSERT_TRUE(driven.selection);
    ASSERT_EQ(driven.selection->width(), 200);
    ASSERT_EQ(driven.selection->height(), 150);
    EXPECT_EQ(test::WrongPixels(test::PictureOf(*driven.selection), {100, 50}, &Pattern), 0);
}

TEST(ScaledCursor, ArrowTipLandsOnThePointer) {
    constexpr COLORREF kBackdrop = RGB(255, 0, 255);
    const SIZE real = test::RealPrimarySize();
    // Beyond the screen size an unaware thread is told at 150 %.
    const POINT pointer{real.cx - 300, real.cy - 150};
    // Wine reports a cursor only while a window of the asking process is under the pointer.
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = GetModuleHandleW(nullptr);
    const unique_hbrush brush(CreateSolidBrush(kBackdrop));
    window_class.hbrBackground = brush.get();
    window_class.lpszClassName = L"ScaledCursorTarget";
    RegisterClassW(&window_class);
    const unique_hwnd window(CreateWindowExW(WS_EX_TOPMOST, window_class.lpszClassName, L"", WS_POPUP | WS_VISIBLE,
                                             pointer.x - 100, pointer.y - 100, 200, 200, nullptr, nullptr,
                                             window_class.hInstance, nullptr));
    ASSERT_TRUE(window);
    SetCursorPos(pointer.x, pointer.y);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    ASSERT_TRUE(WaitFor([&] {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        return e2e::ScreenPixel({pointer.x + 50, pointer.y + 50}) == kBackdrop;
    }));

    Bitmap capture;
    std::unique_ptr<Bitmap> cursor_slot;
    ASSERT_TRUE(test::RunUnaware([&] { GrabPrimaryMonitor(capture, &cursor_slot); }));
    EXPECT_FALSE(cursor_slot) << "the cursor's picture is released after the step";
    ASSERT_EQ(capture.width(), real.cx);
    ASSERT_EQ(capture.height(), real.cy);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(LoadCursorW(nullptr, IDC_ARROW), &info));
    const unique_hbitmap mask(info.hbmMask), colour(info.hbmColor);
    const POINT tip{pointer.x - static_cast<int>(info.xHotspot), pointer.y - static_cast<int>(info.yHotspot)};
    const e2e::Picture grabbed = test::PictureOf(capture);
    EXPECT_NE(grabbed.at({tip.x + 1, tip.y + 3}), kBackdrop) << "the arrow starts at the pointer";
    EXPECT_EQ(grabbed.at({tip.x - 2, tip.y - 2}), kBackdrop) << "nothing above and left of the tip";
    EXPECT_EQ(grabbed.at({tip.x + 60, tip.y + 60}), kBackdrop) << "nothing beyond the cursor";
}

}  // namespace
}  // namespace kadrix
