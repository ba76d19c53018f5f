#include <gtest/gtest.h>

#include <algorithm>

#include "app/Error.h"
#include "bitmap_test_support.h"
#include "gdi_level.h"
#include "imaging/Bitmap.h"
#include "imaging/JpegImage.h"
#include "imaging/PngImage.h"

namespace kadrix {
namespace {

void saveCycle(const test::ScratchFolder& folder, int round) {
    Bitmap bitmap;
    bitmap.setPixelFormat(round % 2 ? PixelFormat::Bits24 : PixelFormat::Device);
    bitmap.setSize(64 + round % 3, 48);
    PatBlt(bitmap.canvas(), 0, 0, bitmap.width(), bitmap.height(), WHITENESS);
    bitmap.saveToFile(folder.file(L"cycle.bmp"));
    TPngImage png;
    png.Assign(bitmap);
    png.SaveToFile(folder.file(L"cycle.png"));
    TJPEGImage jpeg;
    jpeg.Assign(bitmap);
    jpeg.setCompressionQuality(60);
    jpeg.Compress();
    jpeg.SaveToFile(folder.file(L"cycle.jpg"));
    try {
        bitmap.saveToFile(folder.file(L"missing\\cycle.bmp"));  // the failing path releases too
    } catch (const Error&) {
    }
}

TEST(BitmapLeaks, AThousandSaveCyclesKeepGdiObjectsFlat) {
    test::ScratchFolder folder;
    for (int round = 0; round < 20; ++round) saveCycle(folder, round);  // caches and first-use objects settle
    const long before = test::gdiLevel();
    for (int round = 0; round < 1000; ++round) saveCycle(folder, round);
    const long after = test::gdiLevel();
    EXPECT_LE(after - before, 16) << "before " << before << ", after " << after;

    // The measure itself must see a leak of this size.
    std::vector<HBRUSH> leaked;
    for (int i = 0; i < 1000; ++i) leaked.push_back(CreateSolidBrush(RGB(0, i % 256, 0)));
    const long withLeak = test::gdiLevel();
    for (HBRUSH brush : leaked) DeleteObject(brush);
    EXPECT_GE(withLeak - after, 900) << "the GDI measure does not notice 1000 leaked brushes";
}

}  // namespace
}  // namespace kadrix
