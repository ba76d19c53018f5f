// The wait after a hide ends once the screen no longer shows the hidden window and never
// lasts beyond its limit: not when the window beneath shows the same colours as the
// hidden one did, nor when the window beneath does not answer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "Harness.h"
#include "app/ScopeExit.h"
#include "app/Win32Handles.h"
#include "capture/ScreenSettle.h"

namespace kadrix {
namespace {

using namespace std::chrono_literals;
using e2e::WaitFor;

constexpr RECT kBeneath{0, 0, 700, 500};
constexpr RECT kCover{100, 100, 606, 425};  // the main window's size
constexpr COLORREF kWhite = RGB(255, 255, 255);

COLORREF White(POINT) { return kWhite; }

// A top-most window of the calling thread, white all over, over kCover.
unique_hwnd WhiteCover() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = &DefWindowProcW;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    window_class.lpszClassName = L"SettleTestCover";
    RegisterClassW(&window_class);
    unique_hwnd cover(CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, window_class.lpszClassName, L"", WS_POPUP,
                                      kCover.left, kCover.top, kCover.right - kCover.left,
                                      kCover.bottom - kCover.top, nullptr, nullptr, window_class.hInstance, nullptr));
    ShowWindow(cover.get(), SW_SHOWNOACTIVATE);
    UpdateWindow(cover.get());
    return cover;
}

// Hides `cover` as the program hides its window and returns how long the wait took.
std::chrono::microseconds HideAndWait(HWND cover, std::chrono::milliseconds limit) {
    const ScreenBeforeHide before(kCover);
    ShowWindow(cover, SW_HIDE);
    return before.WaitUntilGone(limit);
}

TEST(ScreenSettle, SameColoursBeneathDoNotHoldTheWaitToItsLimit) {
    const e2e::KnownPicture beneath(kBeneath, &White);
    const unique_hwnd cover = WhiteCover();
    ASSERT_TRUE(WaitFor([&] { return beneath.Shown() && e2e::ScreenPixel({300, 300}) == kWhite; }));
    for (int round = 0; round < 5; ++round) {
        ShowWindow(cover.get(), SW_SHOWNOACTIVATE);
        UpdateWindow(cover.get());
        ASSERT_TRUE(WaitFor([&] { return e2e::ScreenPixel({300, 300}) == kWhite; }));
        EXPECT_LT(HideAndWait(cover.get(), 2s), 500ms) << "round " << round;
    }
}

TEST(ScreenSettle, AWindowBeneathThatDoesNotAnswerHoldsTheWaitOnlyToItsLimit) {
    // The window beneath is made and shown by a thread that then stops handling messages.
    const unique_handle stop(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<HWND> made = nullptr;
    std::thread hung([&] {
        const unique_hwnd window(CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE,
                                                 kBeneath.left, kBeneath.top, kBeneath.right, kBeneath.bottom,
                                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
        UpdateWindow(window.get());
        made = window.get();
        WaitForSingleObject(stop.get(), INFINITE);
    });
    const ScopeExit release([&] {
        SetEvent(stop.get());
        hung.join();
    });
    ASSERT_TRUE(WaitFor([&] { return made.load() != nullptr; }));
    const unique_hwnd cover = WhiteCover();
    ASSERT_TRUE(WaitFor([&] { return e2e::ScreenPixel({300, 300}) == kWhite; }));
    const auto waited = HideAndWait(cover.get(), 300ms);
    EXPECT_GE(waited, 300ms) << "a window that cannot have repainted counted as shown";
    EXPECT_LT(waited, 1300ms);
}

}  // namespace
}  // namespace kadrix
