#include <gtest/gtest.h>

#include "app/Error.h"
#include "bitmap_test_support.h"
#include "gdi_level.h"
#include "imaging/Bitmap.h"

namespace kadrix {
namespace {

int screenBits() {
    const WindowDC screen(nullptr);
    return GetDeviceCaps(screen.get(), BITSPIXEL) * GetDeviceCaps(screen.get(), PLANES);
}

bool isDibSection(HBITMAP bitmap) {
    DIBSECTION section{};
    return GetObjectW(bitmap, sizeof section, &section) == sizeof section;
}

TEST(Bitmap, StartsEmptyInDeviceFormat) {
    Bitmap bitmap;
    EXPECT_TRUE(bitmap.empty());
    EXPECT_EQ(bitmap.width(), 0);
    EXPECT_EQ(bitmap.height(), 0);
    EXPECT_EQ(bitmap.pixelFormat(), PixelFormat::Device);
    EXPECT_EQ(bitmap.handle(), nullptr);
    EXPECT_NE(bitmap.canvas(), nullptr);
}

TEST(Bitmap, FormatDecidesTheKindOfBitmap) {
    Bitmap bitmap;
    bitmap.setSize(5, 3);
    EXPECT_FALSE(isDibSection(bitmap.handle()));
    EXPECT_EQ(bitmap.bitsPerPixel(), screenBits());

    bitmap.setPixelFormat(PixelFormat::Bits24);
    EXPECT_TRUE(isDibSection(bitmap.handle()));
    EXPECT_EQ(bitmap.bitsPerPixel(), 24);
    EXPECT_EQ(bitmap.width(), 5);
    EXPECT_EQ(bitmap.height(), 3);
}

TEST(Bitmap, SameSizeKeepsTheBitmapAndNewSizeReplacesIt) {
    Bitmap bitmap;
    bitmap.setPixelFormat(PixelFormat::Bits24);
    bitmap.setWidth(40);
    bitmap.setHeight(30);
    const HDC canvas = bitmap.canvas();
    const HBITMAP first = bitmap.handle();
    bitmap.setSize(40, 30);
    EXPECT_EQ(bitmap.handle(), first) << "a capture of the same size reuses the bitmap";

    bitmap.setSize(41, 30);
    EXPECT_NE(bitmap.handle(), first);
    EXPECT_EQ(GetObjectType(first), 0u) << "the replaced bitmap is deleted";
    EXPECT_EQ(bitmap.canvas(), canvas);
    EXPECT_EQ(GetCurrentObject(canvas, OBJ_BITMAP), bitmap.handle()) << "the canvas draws on the new bitmap";

    bitmap.setSize(0, 30);
    EXPECT_TRUE(bitmap.empty());
    EXPECT_EQ(bitmap.handle(), nullptr);
}

TEST(Bitmap, RefusesSizesThatCannotBeMade) {
    Bitmap bitmap;
    bitmap.setSize(8, 8);
    const HBITMAP before = bitmap.handle();
    EXPECT_THROW(bitmap.setSize(-1, 8), Error);
    bitmap.setPixelFormat(PixelFormat::Bits24);
    EXPECT_THROW(bitmap.setSize(1 << 20, 1 << 20), Error);  // 3 TB
    EXPECT_EQ(bitmap.width(), 8) << "a failed resize leaves the bitmap as it was";
    EXPECT_NE(before, nullptr);
}

TEST(Bitmap, AdoptsAHandleAndDeletesIt) {
    const WindowDC screen(nullptr);
    HBITMAP raw = CreateCompatibleBitmap(screen.get(), 32, 17);
    {
        Bitmap adopted{unique_hbitmap(raw)};
        EXPECT_EQ(adopted.width(), 32);
        EXPECT_EQ(adopted.height(), 17);
        EXPECT_EQ(adopted.handle(), raw);
        EXPECT_NE(adopted.canvas(), nullptr);
    }
    EXPECT_EQ(GetObjectType(raw), 0u);
}

// Paints a known pattern: each pixel's colour encodes its position.
COLORREF patternAt(int x, int y) { return RGB(x * 40 + 3, y * 50 + 5, (x + y) * 20 + 7); }

void paint(Bitmap& bitmap) {
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x) SetPixelV(bitmap.canvas(), x, y, patternAt(x, y));
}

TEST(Bitmap, SavesItsPixelsAsBmpInItsOwnFormat) {
    struct Case {
        PixelFormat format;
        int expectedBits;
    };
    for (const Case& c : {Case{PixelFormat::Bits24, 24}, Case{PixelFormat::Device, screenBits()}}) {
        SCOPED_TRACE(c.expectedBits);
        test::ScratchFolder folder;
        const auto path = folder.file(L"capture.bmp");
        Bitmap bitmap;
        bitmap.setPixelFormat(c.format);
        bitmap.setSize(5, 3);
        paint(bitmap);
        bitmap.saveToFile(path);

        const auto file = test::readFile(path);
        const std::size_t stride = (5 * c.expectedBits + 31) / 32 * 4;
        ASSERT_EQ(file.size(), 54 + stride * 3);
        EXPECT_EQ(file[28], c.expectedBits);
        EXPECT_EQ(test::le32(file, 30), 0u);
        EXPECT_EQ(test::le32(file, 22), 3u);
        const int bytes = c.expectedBits / 8;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                const std::uint8_t* p = file.data() + 54 + (2 - y) * stride + x * bytes;
                EXPECT_EQ(RGB(p[2], p[1], p[0]), patternAt(x, y)) << x << "," << y;
            }
    }
}

// One pixel as the encoders read it.
COLORREF pixelOf(const Bitmap& bitmap, int x, int y) {
    COLORREF colour = 0;
    bitmap.readRows(24, [&](PixelRows& rows) {
        const std::uint8_t* p = rows.row(y) + x * rows.shape().bitsPerPixel / 8;
        colour = RGB(p[2], p[1], p[0]);
    });
    return colour;
}

TEST(Bitmap, ReadsWithTheBitmapOutOfTheCanvasAndDrawsOnItAfterwards) {
    for (PixelFormat format : {PixelFormat::Bits24, PixelFormat::Device}) {
        SCOPED_TRACE(format == PixelFormat::Bits24 ? "24-bit" : "device");
        Bitmap bitmap;
        bitmap.setPixelFormat(format);
        bitmap.setSize(5, 3);
        paint(bitmap);
        const HDC canvas = bitmap.canvas();
        HGDIOBJ heldDuringRead = nullptr;
        HBITMAP given = nullptr;
        bitmap.readUnselected([&](HBITMAP handle) {
            given = handle;
            heldDuringRead = GetCurrentObject(canvas, OBJ_BITMAP);
        });
        EXPECT_EQ(given, bitmap.handle());
        EXPECT_NE(heldDuringRead, nullptr);
        EXPECT_NE(heldDuringRead, bitmap.handle()) << "GetDIBits needs the bitmap out of every DC";
        EXPECT_EQ(GetCurrentObject(canvas, OBJ_BITMAP), bitmap.handle());

        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) EXPECT_EQ(pixelOf(bitmap, x, y), patternAt(x, y)) << x << "," << y;
        EXPECT_EQ(GetCurrentObject(canvas, OBJ_BITMAP), bitmap.handle()) << "reading rows puts the bitmap back";
        SetPixelV(canvas, 4, 2, RGB(1, 2, 3));
        EXPECT_EQ(pixelOf(bitmap, 4, 2), RGB(1, 2, 3)) << "the canvas still draws on the bitmap";
    }
}

TEST(Bitmap, FailedReadPutsTheBitmapBackAndLeavesNoPlaceholder) {
    Bitmap bitmap;
    bitmap.setSize(4, 4);
    const HDC canvas = bitmap.canvas();
    const long before = test::gdiLevel();
    for (int i = 0; i < 500; ++i)
        EXPECT_THROW(bitmap.readUnselected([](HBITMAP) { throw Error(L"read failed"); }), Error);
    EXPECT_LE(test::gdiLevel() - before, 16);
    EXPECT_EQ(GetCurrentObject(canvas, OBJ_BITMAP), bitmap.handle());
}

TEST(Bitmap, EmptyBitmapSavesAnEmptyFileOverAnOldOne) {
    test::ScratchFolder folder;
    const auto path = folder.file(L"empty.bmp");
    test::writeFile(path, "old contents");
    Bitmap().saveToFile(path);
    EXPECT_TRUE(test::exists(path));
    EXPECT_TRUE(test::readFile(path).empty());
}

TEST(Bitmap, SavingIntoAMissingFolderThrowsAndLeavesNothing) {
    test::ScratchFolder folder;
    const auto path = folder.file(L"no\\such\\folder.bmp");
    Bitmap bitmap;
    bitmap.setSize(4, 4);
    EXPECT_THROW(bitmap.saveToFile(path), Error);
    EXPECT_FALSE(test::exists(path));
}

}  // namespace
}  // namespace kadrix
