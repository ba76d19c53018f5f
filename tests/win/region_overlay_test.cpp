// The overlay in-process: size and order of the copied rectangle, the overlay hidden for
// the copy, the mouse held through a drag, and a bitmap that cannot be made leaving it open.
#include <gtest/gtest.h>

#include <utility>

#include "app/Error.h"
#include "region/DlgScreenRect.h"

namespace kadrix {
namespace {

class RegionOverlay : public ::testing::Test {
protected:
    void SetUp() override {
        overlay.SetBounds(0, 0, 300, 200);
        ShowWindow(overlay.handle(), SW_SHOW);
    }
    TFormScreenRect overlay;
};

TEST_F(RegionOverlay, CopyHidesTheOverlayAndOrdersTheCorners) {
    const RECT reversed{120, 90, 20, 10};
    const std::unique_ptr<Bitmap> copy = overlay.GetUserScreenRect(reversed);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->width(), 100);
    EXPECT_EQ(copy->height(), 80);
    EXPECT_EQ(copy->pixelFormat(), PixelFormat::Device);
    EXPECT_FALSE(IsWindowVisible(overlay.handle()));
}

TEST_F(RegionOverlay, ClickWithoutDragGivesAnEmptyCopy) {
    const std::unique_ptr<Bitmap> copy = overlay.GetUserScreenRect({40, 40, 40, 40});
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->empty());
}

// On Windows the hole passes input through to the window beneath: only the capture keeps
// a drag with any button on the overlay until its release.
TEST_F(RegionOverlay, EveryButtonHoldsTheMouseFromPressToRelease) {
    const HWND window = overlay.handle();
    for (const auto& [down, up] : {std::pair{WM_LBUTTONDOWN, WM_LBUTTONUP}, std::pair{WM_RBUTTONDOWN, WM_RBUTTONUP},
                                  std::pair{WM_MBUTTONDOWN, WM_MBUTTONUP}}) {
        SCOPED_TRACE(down);
        ShowWindow(window, SW_SHOW);
        SendMessageW(window, down, 0, MAKELPARAM(10, 10));
        EXPECT_EQ(GetCapture(), window);
        SendMessageW(window, up, 0, MAKELPARAM(60, 40));
        EXPECT_EQ(GetCapture(), nullptr);
    }
}

TEST_F(RegionOverlay, BitmapThatCannotBeMadeLeavesTheOverlayOpen) {
    EXPECT_THROW(overlay.GetUserScreenRect({0, 0, 200000, 200000}), Error);
    EXPECT_TRUE(IsWindowVisible(overlay.handle()));
}

}  // namespace
}  // namespace kadrix
