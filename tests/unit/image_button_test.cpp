// The image button's rules: which picture each mouse event shows and when it clicks.
#include "controls/ImageButtonLogic.h"

#include <gtest/gtest.h>

namespace kadrix {
namespace {

constexpr int kWidth = 277;
constexpr int kHeight = 66;

TEST(ImageButton, HoverAreaHasStrictMargins) {
    const struct {
        int x, y;
        ButtonPicture shown;
    } cases[] = {
        {2, 30, ButtonPicture::Normal},   {3, 30, ButtonPicture::Hover},
        {274, 30, ButtonPicture::Hover},  {275, 30, ButtonPicture::Normal},
        {100, 2, ButtonPicture::Normal},  {100, 3, ButtonPicture::Hover},
        {100, 63, ButtonPicture::Hover},  {100, 64, ButtonPicture::Normal},
        {3, 3, ButtonPicture::Hover},     {274, 63, ButtonPicture::Hover},
        {-5, 30, ButtonPicture::Normal},  {100, 500, ButtonPicture::Normal},  // beyond, while captured
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ImageButtonLogic::Move(c.x, c.y, kWidth, kHeight), c.shown) << c.x << "," << c.y;
    }
}

TEST(ImageButton, LeftClickInsideClicksThenShowsNormal) {
    ImageButtonLogic logic;
    EXPECT_EQ(logic.Press(MouseButton::Left), ButtonPicture::Pressed);
    // A click counts anywhere in the client rectangle, margins included.
    EXPECT_TRUE(logic.ReleaseClicks(MouseButton::Left, 0, 65, kWidth, kHeight));
    EXPECT_EQ(ImageButtonLogic::Release(), ButtonPicture::Normal);
    // One press, one click: a second release alone does not click again.
    EXPECT_FALSE(logic.ReleaseClicks(MouseButton::Left, 100, 30, kWidth, kHeight));
}

TEST(ImageButton, PressDragOutAndReleaseDoesNotClick) {
    ImageButtonLogic logic;
    EXPECT_EQ(logic.Press(MouseButton::Left), ButtonPicture::Pressed);
    EXPECT_EQ(ImageButtonLogic::Move(100, 30, kWidth, kHeight), ButtonPicture::Hover);  // the press picture goes at once
    EXPECT_EQ(ImageButtonLogic::Move(300, 30, kWidth, kHeight), ButtonPicture::Normal);
    EXPECT_FALSE(logic.ReleaseClicks(MouseButton::Left, 277, 30, kWidth, kHeight));
    EXPECT_FALSE(logic.ReleaseClicks(MouseButton::Left, 100, 66, kWidth, kHeight));
}

TEST(ImageButton, OtherButtonsShowPressedButNeverClick) {
    for (MouseButton button : {MouseButton::Right, MouseButton::Middle}) {
        ImageButtonLogic logic;
        EXPECT_EQ(logic.Press(button), ButtonPicture::Pressed);
        EXPECT_FALSE(logic.ReleaseClicks(button, 100, 30, kWidth, kHeight));
        EXPECT_EQ(ImageButtonLogic::Release(), ButtonPicture::Normal);
    }
    // A right release in the middle of a left press leaves the left click intact.
    ImageButtonLogic logic;
    logic.Press(MouseButton::Left);
    EXPECT_FALSE(logic.ReleaseClicks(MouseButton::Right, 100, 30, kWidth, kHeight));
    EXPECT_TRUE(logic.ReleaseClicks(MouseButton::Left, 100, 30, kWidth, kHeight));
}

TEST(ImageButton, PressForgottenWhenTheCaptureIsLostDoesNotClickLater) {
    ImageButtonLogic logic;
    logic.Press(MouseButton::Left);
    EXPECT_EQ(logic.LoseCapture(), ButtonPicture::Normal);
    EXPECT_FALSE(logic.ReleaseClicks(MouseButton::Left, 100, 30, kWidth, kHeight));
    // The next press clicks as usual.
    logic.Press(MouseButton::Left);
    EXPECT_TRUE(logic.ReleaseClicks(MouseButton::Left, 100, 30, kWidth, kHeight));
}

TEST(ImageButton, ReleaseWithoutAPressHereDoesNotClick) {
    ImageButtonLogic logic;
    EXPECT_FALSE(logic.ReleaseClicks(MouseButton::Left, 100, 30, kWidth, kHeight));
}

}  // namespace
}  // namespace kadrix
