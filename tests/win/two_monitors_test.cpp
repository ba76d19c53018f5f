// With a second monitor left of the primary one, at negative coordinates: the overlay
// covers both, drags there and across the boundary copy exactly what they framed, and
// the desktop capture stays the primary monitor.
#include <gtest/gtest.h>

#include "capture/Grabbers.h"
#include "real_pixels.h"

namespace kadrix {
namespace {

using e2e::WaitFor;

COLORREF Pattern(POINT p) { return RGB((p.x * 3) & 0xFF, (p.y * 5) & 0xFF, 0x40 + ((p.x + p.y) & 0x3F)); }

constexpr RECT kVirtualScreen{-1024, 0, 800, 768};  // 1024 x 768 left of an 800 x 600 primary

TEST(TwoMonitorsOverlay, CoversBothAndDragsCopyExactlyTheFramedPixels) {
    const RECT screen = test::RealVirtualScreen();
    ASSERT_TRUE(EqualRect(&screen, &kVirtualScreen));
    const e2e::KnownPicture backdrop({-1000, 20, 600, 560}, &Pattern);
    ASSERT_TRUE(WaitFor([&] { return backdrop.Shown(); }));
    const struct {
        const char* name;
        POINT from, to;
        RECT copied;
    } drags[] = {
        {"on the left monitor", {-900, 100}, {-700, 250}, {-900, 100, -700, 250}},
        {"across the boundary, up and left", {150, 420}, {-100, 300}, {-100, 300, 150, 420}},
    };
    for (const auto& drag : drags) {
        SCOPED_TRACE(drag.name);
        const test::DrivenSelection driven = test::DriveRegionSelection(drag.from, drag.to);
        EXPECT_TRUE(EqualRect(&driven.overlay, &kVirtualScreen));
        ASSERT_TRUE(driven.selection);
        ASSERT_EQ(driven.selection->width(), drag.copied.right - drag.copied.left);
        ASSERT_EQ(driven.selection->height(), drag.copied.bottom - drag.copied.top);
        EXPECT_EQ(test::WrongPixels(test::PictureOf(*driven.selection), {drag.copied.left, drag.copied.top}, &Pattern),
                  0);
    }
}

TEST(TwoMonitorsGrabs, DesktopIsThePrimaryMonitorOnly) {
    const e2e::KnownPicture backdrop({-200, 0, 800, 600}, &Pattern);
    ASSERT_TRUE(WaitFor([&] { return backdrop.Shown(); }));
    Bitmap capture;
    ASSERT_TRUE(test::RunUnaware([&] { GrabPrimaryMonitor(capture); }));
    ASSERT_EQ(capture.width(), 800);
    ASSERT_EQ(capture.height(), 600);
    EXPECT_EQ(test::WrongPixels(test::PictureOf(capture), {0, 0}, &Pattern), 0);
}

}  // namespace
}  // namespace kadrix
