// The cursor step of the desktop capture. Wine reports a cursor only while a window
// of the asking process is under the pointer, so the test puts one there. Wine also
// takes any CURSORINFO size, so the step asks through a query that refuses, as
// Windows does, every size but the structure's own.
#include <gtest/gtest.h>

#include "app/ScopeExit.h"
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

    int DrawnPixels(const RECT& area) {
        int drawn = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) drawn += Pixel(x, y) != kBackdrop;
        return drawn;
    }

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

TEST_F(CursorStep, HiddenCursorDrawsNothing) {
    PointWith(LoadCursorW(nullptr, IDC_ARROW));
    ShowCursor(FALSE);
    const ScopeExit show([] { ShowCursor(TRUE); });
    Draw();
    EXPECT_EQ(DrawnPixels({kPointer.x - 32, kPointer.y - 32, kPointer.x + 32, kPointer.y + 32}), 0);
}

// The I-beam and the inverted and black pointers are monochrome on Windows: an AND mask
// over an XOR mask (Wine's own I-beam has a colour bitmap). This one has a band of each
// of the four combinations, with its hot spot inside.
TEST_F(CursorStep, MonochromeCursorMasksAndInvertsTheScreen) {
    constexpr POINT kHotSpot = {12, 6};
    constexpr struct {
        bool and_bit, xor_bit;
        COLORREF shown;
    } kBands[] = {
        {false, false, RGB(0, 0, 0)},
        {false, true, RGB(255, 255, 255)},
        {true, true, RGB(0, 255, 0)},  // the backdrop inverted
        {true, false, kBackdrop},
    };
    BYTE and_mask[32][4], xor_mask[32][4];
    for (int row = 0; row < 32; ++row) {
        const auto& band = kBands[row / 8];
        // Columns 8 to 23 carry the band; the rest leaves the screen as it is.
        const BYTE and_byte = band.and_bit ? 0xFF : 0x00, xor_byte = band.xor_bit ? 0xFF : 0x00;
        and_mask[row][0] = and_mask[row][3] = 0xFF;
        xor_mask[row][0] = xor_mask[row][3] = 0x00;
        and_mask[row][1] = and_mask[row][2] = and_byte;
        xor_mask[row][1] = xor_mask[row][2] = xor_byte;
    }
    const unique_hicon beam(reinterpret_cast<HICON>(
        CreateCursor(GetModuleHandleW(nullptr), kHotSpot.x, kHotSpot.y, 32, 32, and_mask, xor_mask)));
    ASSERT_TRUE(beam);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(beam.get(), &info));
    unique_hbitmap mask(info.hbmMask), colour(info.hbmColor);
    ASSERT_FALSE(colour) << "a cursor made from two masks is monochrome";

    PointWith(reinterpret_cast<HCURSOR>(beam.get()));
    const ScopeExit arrow([] { SetCursor(LoadCursorW(nullptr, IDC_ARROW)); });
    Draw();
    const POINT corner = {kPointer.x - kHotSpot.x, kPointer.y - kHotSpot.y};
    for (int band = 0; band < 4; ++band) {
        const int y = corner.y + band * 8 + 4;
        EXPECT_EQ(Pixel(corner.x + 16, y), kBands[band].shown) << "band " << band;
        EXPECT_EQ(Pixel(corner.x + 3, y), kBackdrop) << "left of band " << band;
        EXPECT_EQ(Pixel(corner.x + 28, y), kBackdrop) << "right of band " << band;
    }
    EXPECT_EQ(DrawnPixels({corner.x - 16, corner.y - 16, corner.x + 48, corner.y + 48}), 3 * 8 * 16)
        << "exactly the three visible bands";
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
