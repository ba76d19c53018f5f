#include <gtest/gtest.h>

#include "app/Error.h"
#include "bitmap_test_support.h"
#include "imaging/Bitmap.h"
#include "imaging/JpegImage.h"
#include "imaging/PngImage.h"
#include "imaging/PngReader.h"

namespace kadrix {
namespace {

COLORREF patternAt(int x, int y) { return RGB(x * 9 + 1, y * 11 + 2, (x ^ y) * 5 + 3); }

void paint(Bitmap& bitmap, PixelFormat format, int width, int height) {
    bitmap.setPixelFormat(format);
    bitmap.setSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) SetPixelV(bitmap.canvas(), x, y, patternAt(x, y));
}

TEST(PngImage, WritesTheBitmapsPixelsInEitherFormat) {
    for (PixelFormat format : {PixelFormat::Bits24, PixelFormat::Device}) {
        test::ScratchFolder folder;
        const auto path = folder.file(L"capture.png");
        Bitmap bitmap;
        paint(bitmap, format, 7, 5);
        TPngImage png;
        png.Assign(bitmap);
        png.SaveToFile(path);
        EXPECT_EQ(GetCurrentObject(bitmap.canvas(), OBJ_BITMAP), bitmap.handle()) << "the canvas has its bitmap back";

        const DecodedPicture decoded = decodePng(test::readFile(path));
        ASSERT_EQ(decoded.width, 7);
        ASSERT_EQ(decoded.height, 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                const std::uint8_t* p = decoded.bgra.data() + (y * 7 + x) * 4;
                EXPECT_EQ(RGB(p[2], p[1], p[0]), patternAt(x, y)) << x << "," << y;
            }
    }
}

TEST(PngImage, EmptyBitmapGivesAnEmptyFile) {
    test::ScratchFolder folder;
    const auto path = folder.file(L"empty.png");
    TPngImage png;
    const Bitmap nothing;
    png.Assign(nothing);
    png.SaveToFile(path);
    EXPECT_TRUE(test::exists(path));
    EXPECT_TRUE(test::readFile(path).empty());
}

TEST(JpegImage, QualityTakesEffectAtTheNextCompress) {
    Bitmap bitmap;
    paint(bitmap, PixelFormat::Device, 64, 48);
    TJPEGImage jpeg;
    EXPECT_EQ(jpeg.compressionQuality(), 90);
    jpeg.Assign(bitmap);
    jpeg.setCompressionQuality(20);
    jpeg.Compress();
    const auto low = jpeg.compressedData();
    jpeg.setCompressionQuality(100);
    EXPECT_EQ(jpeg.compressedData(), low) << "setting the quality keeps the compressed data";

    test::ScratchFolder folder;
    const auto lowPath = folder.file(L"low.jpg");
    jpeg.SaveToFile(lowPath);
    EXPECT_EQ(test::readFile(lowPath), std::vector<std::uint8_t>(low.begin(), low.end())) << "saving writes the compressed bytes unchanged";

    std::vector<std::size_t> sizes;
    for (int quality : {20, 60, 100}) {
        jpeg.setCompressionQuality(quality);
        jpeg.Compress();
        sizes.push_back(jpeg.compressedData().size());
    }
    EXPECT_LT(sizes[0], sizes[1]);
    EXPECT_LT(sizes[1], sizes[2]);
    const auto& bytes = jpeg.compressedData();
    ASSERT_GT(bytes.size(), 4u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xD8);
    EXPECT_EQ(bytes[bytes.size() - 2], 0xFF);
    EXPECT_EQ(bytes[bytes.size() - 1], 0xD9);
}

TEST(JpegImage, SaveCompressesWhenNothingIsCompressedAndEmptyGivesAnEmptyFile) {
    test::ScratchFolder folder;
    Bitmap bitmap;
    paint(bitmap, PixelFormat::Bits24, 9, 7);
    TJPEGImage jpeg;
    jpeg.Assign(bitmap);
    const auto path = folder.file(L"direct.jpg");
    jpeg.SaveToFile(path);
    const auto& compressed = jpeg.compressedData();
    EXPECT_EQ(test::readFile(path), std::vector<std::uint8_t>(compressed.begin(), compressed.end()));
    EXPECT_FALSE(jpeg.compressedData().empty());

    const auto emptyPath = folder.file(L"empty.jpg");
    TJPEGImage empty;
    const Bitmap nothing;
    empty.Assign(nothing);
    empty.Compress();
    empty.SaveToFile(emptyPath);
    EXPECT_TRUE(test::exists(emptyPath));
    EXPECT_TRUE(test::readFile(emptyPath).empty());
}

TEST(JpegImage, FailedCompressionThrowsItsCodeAndWritesNoFile) {
    test::ScratchFolder folder;
    const auto path = folder.file(L"too_wide.jpg");
    Bitmap bitmap;
    bitmap.setPixelFormat(PixelFormat::Bits24);
    bitmap.setSize(65501, 1);  // wider than a JPEG frame can be
    TJPEGImage jpeg;
    jpeg.Assign(bitmap);
    try {
        jpeg.SaveToFile(path);
        FAIL() << "compressed a picture wider than JPEG allows";
    } catch (const Error& error) {
        EXPECT_EQ(error.text().rfind(L"JPEG error #", 0), 0u) << std::string(error.text().begin(), error.text().end());
    }
    EXPECT_FALSE(test::exists(path));
}

}  // namespace
}  // namespace kadrix
