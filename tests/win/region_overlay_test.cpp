// The overlay in-process: size and order of the copied rectangle, the overlay hidden for
// the copy, the mouse held through a drag, the keys that give up, and what a bitmap
// that cannot be made does to this overlay and to the one it was opened over.
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "app/Error.h"
#include "app/ErrorBox.h"
#include "app/Utf8.h"
#include "error_box_watch.h"
#include "region/DlgScreenRect.h"

namespace kadrix {
namespace {

using test::ErrorBoxWatch;

// The largest client coordinate a mouse message carries: a frame that size cannot be
// held in one bitmap (4 GiB at the screen's 32 bits).
constexpr int kHuge = 32767;

std::function<void()> pending_action;
HWND pending_run = nullptr;

// Runs `action` once from inside the modal run of `overlay` when the timer fires, as a
// hotkey's command runs inside an open overlay's run, then gives that run up with Esc.
// No exception may leave the timer's callback: one from `action` fails the test there.
void RunInsideTheRun(const TFormScreenRect& overlay, std::function<void()> action) {
    pending_action = std::move(action);
    pending_run = overlay.handle();
    SetTimer(nullptr, 0, 0, [](HWND, UINT, UINT_PTR timer, DWORD) {
        KillTimer(nullptr, timer);
        try {
            std::exchange(pending_action, nullptr)();
        } catch (...) {
            ADD_FAILURE() << "the action inside the run failed: "
                          << kadrix::ToUtf8(kadrix::StandardErrorText(std::current_exception()));
        }
        PostMessageW(pending_run, WM_KEYUP, VK_ESCAPE, 0);
    });
}

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

// Esc let go with Alt still held arrives as a system key; other keys leave the overlay
// open for the click that follows them.
TEST(RegionOverlayKeys, EscLetGoGivesUpAlsoWithAltHeld) {
    struct Case {
        UINT message;
        WPARAM key;
        int result;
    };
    for (const Case& key : {Case{WM_KEYUP, VK_ESCAPE, mrCancel}, Case{WM_SYSKEYUP, VK_ESCAPE, mrCancel},
                            Case{WM_SYSKEYUP, VK_MENU, mrOk}, Case{WM_KEYUP, 'A', mrOk}}) {
        SCOPED_TRACE(testing::Message() << key.message << " " << key.key);
        TFormScreenRect overlay;
        overlay.SetBounds(0, 0, 300, 200);
        PostMessageW(overlay.handle(), key.message, key.key, 0);
        PostMessageW(overlay.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        PostMessageW(overlay.handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        EXPECT_EQ(overlay.ShowModal(), key.result);
    }
}

// Every step of a drag draws through the back buffer: one that cannot be made ends the
// run with its error once, instead of failing again at each move under an error box.
TEST(RegionOverlayErrors, ABackBufferThatCannotBeMadeEndsTheRunWithItsError) {
    TFormScreenRect overlay;
    overlay.SetBounds(0, 0, kHuge, kHuge);
    PostMessageW(overlay.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    for (int step = 1; step <= 3; ++step)
        PostMessageW(overlay.handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10 + step, 10 + step));
    ErrorBoxWatch box;
    EXPECT_THROW(overlay.ShowModal(), Error);
    EXPECT_TRUE(box.Texts().empty()) << box.Texts();
    EXPECT_FALSE(IsWindowVisible(overlay.handle()));
}

// An overlay opened over an open one whose copy cannot be made: its error ends its own
// run, and the outer overlay is there again for the user and still runs.
TEST(RegionOverlayErrors, AnInnerCopyThatFailsLeavesTheOuterOverlayShownAndRunning) {
    TFormScreenRect outer;
    outer.SetBounds(0, 0, 300, 200);
    bool inner_failed = false, outer_shown = false;
    RunInsideTheRun(outer, [&] {
        TFormScreenRect inner;
        inner.SetBounds(0, 0, kHuge, kHuge);
        PostMessageW(inner.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, 0));
        PostMessageW(inner.handle(), WM_LBUTTONUP, 0, MAKELPARAM(kHuge - 1, kHuge - 1));
        try {
            inner.ShowModal();
        } catch (const Error&) {
            inner_failed = true;
        }
        outer_shown = IsWindowVisible(outer.handle());
    });
    EXPECT_EQ(outer.ShowModal(), mrCancel);
    EXPECT_TRUE(inner_failed);
    EXPECT_TRUE(outer_shown);
}

}  // namespace
}  // namespace kadrix
