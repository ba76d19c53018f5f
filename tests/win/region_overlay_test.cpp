// The overlay's screen copy in-process: size and order of the copied rectangle, the
// overlay hidden for the copy, and a bitmap that cannot be made leaving it open.
#include <gtest/gtest.h>

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

TEST_F(RegionOverlay, BitmapThatCannotBeMadeLeavesTheOverlayOpen) {
    EXPECT_THROW(overlay.GetUserScreenRect({0, 0, 200000, 200000}), Error);
    EXPECT_TRUE(IsWindowVisible(overlay.handle()));
}

}  // namespace
}  // namespace kadrix
