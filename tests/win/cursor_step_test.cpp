// The cursor step of the desktop capture. Wine reports a cursor only while a window
// of the asking process is under the pointer, so the test puts one there. Wine also
// takes any CURSORINFO size, so the step asks through a query that refuses, as
// Windows does, every size but the structure's own.
#include <gtest/gtest.h>

#include "app/Win32Handles.h"
#include "capture/CursorStep.h"
#include "gdi_level.h"

namespace kadrix {
namespace {

BOOL WINAPI StrictGetCursorInfo(PCURSORINFO info) {
    if (!info || info->cbSize != sizeof(CURSORINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return GetCursorInfo(info);
}

const CursorQuery kStrictQuery{&StrictGetCursorInfo, &GetIconInfo};

constexpr COLORREF kBackdrop = RGB(255, 0, 255);
constexpr POINT kPointer = {300, 300};

class CursorStep : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = DefWindowProcW;
        window_class.hInstance = GetModuleHandleW(nullptr);
        window_class.lpszClassName = L"CursorStepTarget";
        RegisterClassW(&window_class);
        window_.reset(CreateWindowExW(WS_EX_TOPMOST, L"CursorStepTarget", L"", WS_POPUP | WS_VISIBLE, 200, 200, 200,
                                      200, nullptr, nullptr, window_class.hInstance, nullptr));
        ASSERT_TRUE(window_);
        target_.setPixelFormat(PixelFormat::Bits24);
        target_.setSize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        const RECT all = {0, 0, target_.width(), target_.height()};
        unique_hbrush backdrop(CreateSolidBrush(kBackdrop));
        FillRect(target_.canvas(), &all, backdrop.get());
    }

    void PointWith(HCURSOR cursor, POINT at = kPointer) {
        SetCursorPos(at.x, at.y);
        SetCursor(cursor);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }

    void Draw() { DrawCursor(target_, slot_, kStrictQuery); }

    COLORREF Pixel(int x, int y) { return GetPixel(target_.canvas(), x, y); }

    unique_hwnd window_;
    Bitmap target_;
    std::unique_ptr<Bitmap> slot_;
};

TEST_F(CursorStep, ArrowTipLandsOnThePointer) {
    PointWith(LoadCursorW(nullptr, IDC_ARROW));
    Draw();
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(LoadCursorW(nullptr, IDC_ARROW), &info));
    unique_hbitmap mask(info.hbmMask), colour(info.hbmColor);
    const POINT tip = {kPointer.x - static_cast<int>(info.xHotspot), kPointer.y - static_cast<int>(info.yHotspot)};
    EXPECT_NE(Pixel(tip.x + 1, tip.y + 3), kBackdrop) << "the arrow starts at the pointer";
    EXPECT_EQ(Pixel(tip.x - 1, tip.y - 1), kBackdrop) << "nothing above and left of the tip";
    EXPECT_EQ(Pixel(tip.x + 40, tip.y + 40), kBackdrop) << "nothing beyond the cursor's picture";
}

TEST_F(CursorStep, MonochromeCursorDrawsNothing) {
    BYTE and_mask[32 * 4], xor_mask[32 * 4];
    std::fill(std::begin(and_mask), std::end(and_mask), 0x00);
    std::fill(std::begin(xor_mask), std::end(xor_mask), 0xFF);
    const unique_hicon beam(reinterpret_cast<HICON>(
        CreateCursor(GetModuleHandleW(nullptr), 0, 0, 32, 32, and_mask, xor_mask)));
    PointWith(reinterpret_cast<HCURSOR>(beam.get()));
    Draw();
    for (int dy = -2; dy < 34; dy += 4)
        for (int dx = -2; dx < 34; dx += 4) ASSERT_EQ(Pixel(kPointer.x + dx, kPointer.y + dy), kBackdrop);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(CursorStep, CursorAtTheEdgeIsClipped) {
    const POINT corner = {target_.width() - 3, target_.height() - 3};
    SetWindowPos(window_.get(), HWND_TOPMOST, corner.x - 50, corner.y - 50, 100, 100, SWP_SHOWWINDOW);
    PointWith(LoadCursorW(nullptr, IDC_ARROW), corner);
    Draw();
    EXPECT_NE(Pixel(corner.x + 1, corner.y + 2), kBackdrop);
}

TEST_F(CursorStep, ThousandStepsLeaveGdiObjectsFlat) {
    PointWith(LoadCursorW(nullptr, IDC_ARROW));
    Draw();
    slot_.reset();
    const long before = test::gdiLevel();
    for (int i = 0; i < 1000; ++i) {
        Draw();
        slot_.reset();
    }
    EXPECT_LE(test::gdiLevel() - before, 16);
}

}  // namespace
}  // namespace kadrix
