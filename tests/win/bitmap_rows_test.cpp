// The writers read the bitmap's own rows (in place, or a band at a time) and must give the
// same files as encoding a whole-frame copy made by the platform's conversion, as they did.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>

#include "bitmap_test_support.h"
#include "imaging/Bitmap.h"
#include "imaging/BmpWriter.h"
#include "imaging/JpegImage.h"
#include "imaging/JpegWriter.h"
#include "imaging/PngImage.h"
#include "imaging/PngWriter.h"

namespace kadrix {
namespace {

enum class Kind { DeviceBitmap, BottomUpSection, TopDownSection, OwnBits24 };

struct Case {
    Kind kind;
    int bits;
    int width, height;
};

const char* nameOf(Kind kind) {
    switch (kind) {
    case Kind::DeviceBitmap: return "device bitmap";
    case Kind::BottomUpSection: return "bottom-up DIB section";
    case Kind::TopDownSection: return "top-down DIB section";
    case Kind::OwnBits24: return "the 24-bit format";
    }
    return "";
}

struct InfoWithColours {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

InfoWithColours dibInfo(int width, int height, int bits) {
    InfoWithColours info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bits);
    info.header.biCompression = BI_RGB;
    return info;
}

// Random pixels, random colour tables, and garbage in a section's row padding.
unique_hbitmap makeBitmap(const Case& c, std::mt19937& random) {
    const std::size_t stride = dibStride(c.width, c.bits);
    std::vector<std::uint8_t> bytes(stride * c.height);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    InfoWithColours info = dibInfo(c.width, c.kind == Kind::TopDownSection ? -c.height : c.height, c.bits);
    if (c.bits <= 8)
        for (int i = 0; i < (1 << c.bits); ++i)
            info.colours[i] = {static_cast<BYTE>(random()), static_cast<BYTE>(random()), static_cast<BYTE>(random()), 0};
    const WindowDC screen(nullptr);
    if (c.kind == Kind::DeviceBitmap) {
        unique_hbitmap bitmap(CreateBitmap(c.width, c.height, 1, c.bits, nullptr));
        if (bitmap)
            SetDIBits(screen.get(), bitmap.get(), 0, c.height, bytes.data(), reinterpret_cast<BITMAPINFO*>(&info),
                      DIB_RGB_COLORS);
        return bitmap;
    }
    void* memory = nullptr;
    unique_hbitmap section(CreateDIBSection(screen.get(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                            &memory, nullptr, 0));
    if (section) std::copy(bytes.begin(), bytes.end(), static_cast<std::uint8_t*>(memory));
    return section;
}

// The program's own format is a section the Bitmap makes; the others are adopted.
std::unique_ptr<Bitmap> makeCapture(const Case& c, std::mt19937& random) {
    if (c.kind != Kind::OwnBits24) return std::make_unique<Bitmap>(makeBitmap(c, random));
    auto bitmap = std::make_unique<Bitmap>();
    bitmap->setPixelFormat(PixelFormat::Bits24);
    bitmap->setSize(c.width, c.height);
    DIBSECTION section{};
    GetObjectW(bitmap->handle(), sizeof section, &section);
    auto* memory = static_cast<std::uint8_t*>(section.dsBm.bmBits);
    for (std::size_t i = 0; i < dibStride(c.width, 24) * c.height; ++i) memory[i] = static_cast<std::uint8_t>(random());
    return bitmap;
}

// What the writers did before: the whole frame converted by GetDIBits, bottom row first.
struct WholeFrame {
    std::vector<std::uint8_t> memory;
    std::vector<PaletteEntry> palette;
    ImageView view;
};

WholeFrame wholeFrameOf(HBITMAP bitmap, int bits) {
    BITMAP size{};
    GetObjectW(bitmap, sizeof size, &size);
    const int width = size.bmWidth, height = std::abs(size.bmHeight);
    WholeFrame frame;
    frame.memory.resize(dibStride(width, bits) * height);
    InfoWithColours info = dibInfo(width, height, bits);
    const WindowDC screen(nullptr);
    EXPECT_EQ(GetDIBits(screen.get(), bitmap, 0, height, frame.memory.data(), reinterpret_cast<BITMAPINFO*>(&info),
                        DIB_RGB_COLORS),
              height);
    if (bits <= 8)
        for (int i = 0; i < (1 << bits); ++i)
            frame.palette.push_back({info.colours[i].rgbBlue, info.colours[i].rgbGreen, info.colours[i].rgbRed, 0});
    frame.view = bottomUpView(frame.memory.data(), width, height, bits, frame.palette);
    return frame;
}

std::vector<Case> cases() {
    std::vector<Case> all;
    // Widths with every padding; heights of one band, a band and a row, several bands.
    const std::pair<int, int> sizes[] = {{1, 1}, {3, 17}, {7, 16}, {33, 37}, {1366, 40}};
    for (Kind kind : {Kind::DeviceBitmap, Kind::BottomUpSection, Kind::TopDownSection})
        for (int bits : {1, 4, 8, 16, 24, 32})
            for (auto [width, height] : sizes) all.push_back({kind, bits, width, height});
    for (auto [width, height] : sizes) all.push_back({Kind::OwnBits24, 24, width, height});
    return all;
}

TEST(BitmapRows, WritersGiveTheSameFilesAsFromAWholeFrameCopy) {
    std::mt19937 random(7);
    for (const Case& c : cases()) {
        SCOPED_TRACE(testing::Message() << nameOf(c.kind) << ", " << c.bits << " bits, " << c.width << " x " << c.height);
        const std::unique_ptr<Bitmap> capture = makeCapture(c, random);
        const Bitmap& bitmap = *capture;
        ASSERT_NE(bitmap.handle(), nullptr) << "the platform cannot make this bitmap";
        ASSERT_EQ(bitmap.bitsPerPixel(), c.bits);
        test::ScratchFolder folder;

        const auto bmpPath = folder.file(L"capture.bmp");
        bitmap.saveToFile(bmpPath);
        MemorySink bmp;
        writeBmp(wholeFrameOf(bitmap.handle(), c.bits).view, bmp);
        EXPECT_EQ(test::readFile(bmpPath), bmp.bytes()) << "BMP";

        const auto pngPath = folder.file(L"capture.png");
        TPngImage png;
        png.Assign(bitmap);
        png.SaveToFile(pngPath);
        MemorySink expectedPng;
        writePng(wholeFrameOf(bitmap.handle(), c.bits < 16 ? c.bits : 24).view, expectedPng);
        EXPECT_EQ(test::readFile(pngPath), expectedPng.bytes()) << "PNG";

        const WholeFrame truecolour = wholeFrameOf(bitmap.handle(), 24);
        TJPEGImage jpeg;
        jpeg.Assign(bitmap);
        for (int quality : {20, 60, 100}) {
            jpeg.setCompressionQuality(quality);
            jpeg.Compress();
            EXPECT_EQ(jpeg.compressedData(), compressJpeg(truecolour.view, quality)) << "JPEG at " << quality;
        }
    }
}

// The 24-bit format is read in place: every row lies in the section's own memory. Anything
// else comes a band at a time: all rows from one buffer of a few rows. Either way there is
// no frame-sized copy, whichever way the rows are read.
TEST(BitmapRows, RowsComeFromTheSectionItselfOrFromOneSmallBand) {
    std::mt19937 random(8);
    Bitmap own;
    own.setPixelFormat(PixelFormat::Bits24);
    own.setSize(1366, 100);
    Bitmap device;
    device.setSize(1366, 100);
    const Bitmap topDown{makeBitmap({Kind::TopDownSection, 24, 1366, 100}, random)};
    const Bitmap sixteen{makeBitmap({Kind::BottomUpSection, 16, 333, 100}, random)};
    for (const Bitmap* bitmap : std::initializer_list<const Bitmap*>{&own, &device, &topDown, &sixteen}) {
        DIBSECTION section{};
        const bool inPlace = bitmap == &own;
        ASSERT_TRUE(!inPlace || GetObjectW(bitmap->handle(), sizeof section, &section) == sizeof section);
        const std::size_t stride = dibStride(bitmap->width(), 24);
        for (bool downwards : {true, false}) {
            SCOPED_TRACE(testing::Message() << bitmap->width() << " x " << bitmap->height() << ", "
                                            << bitmap->bitsPerPixel() << " bits, " << (downwards ? "down" : "up"));
            const std::uint8_t* lowest = nullptr;
            const std::uint8_t* highest = nullptr;
            bitmap->readRows(24, [&](PixelRows& rows) {
                for (int i = 0; i < bitmap->height(); ++i) {
                    const std::uint8_t* row = rows.row(downwards ? i : bitmap->height() - 1 - i);
                    if (!lowest || row < lowest) lowest = row;
                    if (!highest || row > highest) highest = row;
                }
            });
            if (inPlace) {
                const auto* memory = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
                EXPECT_EQ(lowest, memory);
                EXPECT_EQ(highest, memory + stride * (bitmap->height() - 1));
            } else {
                EXPECT_LT(static_cast<std::size_t>(highest - lowest), BandedRows::kBandRows * stride);
            }
        }
    }
}

}  // namespace
}  // namespace kadrix
