#include <gtest/gtest.h>

#include <algorithm>

#include "app/Error.h"
#include "bitmap_test_support.h"
#include "imaging/Bitmap.h"
#include "imaging/JpegImage.h"
#include "imaging/PngImage.h"

namespace kadrix {
namespace {

// Live GDI objects of this process. Where GetGuiResources is only a stub (Wine), the
// highest handle-table slot that a burst of fresh objects lands in stands in for it:
// freed slots are reused, so it only climbs when objects are left behind.
long gdiLevel() {
    if (const DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(count);
    constexpr int kProbes = 256;
    std::vector<unique_hbrush> probes;
    long highest = 0;
    for (int i = 0; i < kProbes; ++i) {
        probes.emplace_back(CreateSolidBrush(RGB(i, 0, 0)));
        highest = std::max(highest, static_cast<long>(reinterpret_cast<std::uintptr_t>(probes.back().get()) & 0xFFFF));
    }
    return highest;
}

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
    const long before = gdiLevel();
    for (int round = 0; round < 1000; ++round) saveCycle(folder, round);
    const long after = gdiLevel();
    EXPECT_LE(after - before, 16) << "before " << before << ", after " << after;

    // The measure itself must see a leak of this size.
    std::vector<HBRUSH> leaked;
    for (int i = 0; i < 1000; ++i) leaked.push_back(CreateSolidBrush(RGB(0, i % 256, 0)));
    const long withLeak = gdiLevel();
    for (HBRUSH brush : leaked) DeleteObject(brush);
    EXPECT_GE(withLeak - after, 900) << "the GDI measure does not notice 1000 leaked brushes";
}

}  // namespace
}  // namespace kadrix
