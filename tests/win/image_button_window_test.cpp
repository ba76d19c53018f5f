// The image button as a real window: its size follows the shown picture except an
// empty one, a move handled after the pointer left ends in the normal picture, its
// state pictures are copies, a left click raises OnClick once, and an error of OnClick
// stays inside the window procedure and shows the error box.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>

#include "Harness.h"
#include "app/Error.h"
#include "app/Win32Handles.h"
#include "controls/TavikImageButton.h"
#include "error_box_watch.h"

namespace kadrix {
namespace {

DecodedPicture Solid(int width, int height, std::uint8_t level) {
    DecodedPicture picture;
    picture.width = width;
    picture.height = height;
    picture.bgra.assign(static_cast<std::size_t>(width) * height * 4, level);
    return picture;
}

SIZE SizeOf(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return {rect.right, rect.bottom};
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

class ImageButtonWindow : public ::testing::Test {
protected:
    unique_hwnd parent{CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr)};
};

TEST_F(ImageButtonWindow, SizeFollowsEachPictureButAnEmptyOneKeepsIt) {
    ASSERT_TRUE(parent);
    TTavikImageButton button(parent.get(), 7, 10, 20, {Solid(277, 66, 10), Solid(200, 50, 20), DecodedPicture{}});
    HWND window = button.handle();
    auto size_is = [&](int width, int height) {
        const SIZE size = SizeOf(window);
        return size.cx == width && size.cy == height;
    };
    EXPECT_TRUE(size_is(277, 66));

    SendMessageW(window, WM_MOUSEMOVE, 0, At(100, 30));  // hover picture
    EXPECT_TRUE(size_is(200, 50));
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(100, 30));  // empty pressed picture
    EXPECT_TRUE(size_is(200, 50));
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, At(2, 2));  // normal again, during the press
    EXPECT_TRUE(size_is(277, 66));
    SendMessageW(window, WM_LBUTTONUP, 0, At(2, 2));

    RECT placed{};
    GetWindowRect(window, &placed);
    MapWindowPoints(nullptr, parent.get(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, 10);
    EXPECT_EQ(placed.top, 20);
}

// A move can be handled after the pointer has left: a late one, or the one made up
// when the window comes back after a capture. Its hover picture must not stay.
TEST_F(ImageButtonWindow, AMoveHandledWithThePointerElsewhereEndsInTheNormalPicture) {
    ASSERT_TRUE(parent);
    TTavikImageButton button(parent.get(), 7, 10, 20, {Solid(277, 66, 10), Solid(200, 50, 20), Solid(277, 66, 30)});
    const HWND window = button.handle();
    ShowWindow(parent.get(), SW_SHOWNOACTIVATE);
    ASSERT_TRUE(SetCursorPos(650, 450));  // outside the parent, which lies at 0,0 and is 600 x 400
    SendMessageW(window, WM_MOUSEMOVE, 0, At(100, 30));
    EXPECT_EQ(SizeOf(window).cx, 200) << "the move's own point is inside: hover first";
    EXPECT_TRUE(e2e::WaitFor([&] { return SizeOf(window).cx == 277; }, std::chrono::seconds(2)))
        << "the normal picture once the move is handled";
}

TEST_F(ImageButtonWindow, LeftClickInsideRaisesOnClickOnce) {
    ASSERT_TRUE(parent);
    TTavikImageButton button(parent.get(), 7, 0, 0, {Solid(277, 66, 10), Solid(277, 66, 20), Solid(277, 66, 30)});
    HWND window = button.handle();
    int clicks = 0;
    button.OnClick = [&] { ++clicks; };

    const struct {
        UINT down, up;
        LPARAM release_at;
        int clicks;
    } cases[] = {
        {WM_LBUTTONDOWN, WM_LBUTTONUP, At(100, 30), 1},
        {WM_LBUTTONDOWN, WM_LBUTTONUP, At(300, 30), 0},  // dragged out before the release
        {WM_RBUTTONDOWN, WM_RBUTTONUP, At(100, 30), 0},
        {WM_MBUTTONDOWN, WM_MBUTTONUP, At(100, 30), 0},
    };
    for (const auto& c : cases) {
        clicks = 0;
        SendMessageW(window, c.down, 0, At(100, 30));
        SendMessageW(window, c.up, 0, c.release_at);
        EXPECT_EQ(clicks, c.clicks) << "buttons " << c.down;
    }
    EXPECT_EQ(GetCapture(), nullptr) << "the release gives the mouse back";
}

TEST_F(ImageButtonWindow, ClickHandlerErrorEndsInTheErrorBox) {
    ASSERT_TRUE(parent);
    TTavikImageButton button(parent.get(), 7, 0, 0, {Solid(277, 66, 10), Solid(277, 66, 20), Solid(277, 66, 30)});
    button.OnClick = [] { throw Error(L"Снимок не удался"); };
    bool escaped = false;
    std::wstring shown;
    {
        test::ErrorBoxWatch watch;
        try {
            SendMessageW(button.handle(), WM_LBUTTONDOWN, 0, At(100, 30));
            SendMessageW(button.handle(), WM_LBUTTONUP, 0, At(100, 30));
        } catch (...) {
            escaped = true;
        }
        shown = watch.Texts();
    }
    EXPECT_FALSE(escaped);
    EXPECT_NE(shown.find(L"Снимок не удался."), std::wstring::npos) << "the box shows the error's text";
    EXPECT_EQ(GetCapture(), nullptr) << "the release gives the mouse back also after the error";
}

TEST_F(ImageButtonWindow, StatePicturesAreCopies) {
    ASSERT_TRUE(parent);
    TTavikImageButton button(parent.get(), 7, 0, 0, {Solid(4, 4, 10), Solid(4, 4, 20), Solid(4, 4, 30)});
    DecodedPicture source = Solid(8, 8, 40);
    button.SetImg_Move(source);
    source.bgra.assign(source.bgra.size(), 99);
    source.width = 1;
    EXPECT_EQ(button.Img_Move().width, 8);
    EXPECT_EQ(button.Img_Move().bgra.front(), 40);
}

}  // namespace
}  // namespace kadrix
