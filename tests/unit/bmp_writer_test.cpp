#include <gtest/gtest.h>

#include <cstring>

#include "app/Error.h"
#include "imaging/BmpWriter.h"
#include "imaging_fixtures.h"

namespace kadrix {
namespace {

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t le16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

std::vector<std::uint8_t> bmpOf(const ImageView& view) {
    MemorySink sink;
    writeBmp(view, sink);
    return sink.bytes();
}

TEST(BmpWriter, DesktopCaptureOf1366x768HasTheDocumentedLayout) {
    const auto picture = test::randomPicture(1366, 768, 24);
    const auto file = bmpOf(picture.view);
    ASSERT_EQ(file.size(), 3'148'854u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(le32(file, 2), 3'148'854u);
    EXPECT_EQ(le32(file, 6), 0u);  // both reserved words
    EXPECT_EQ(le32(file, 10), 54u);
    EXPECT_EQ(le32(file, 14), 40u);
    EXPECT_EQ(le32(file, 18), 1366u);
    EXPECT_EQ(le32(file, 22), 768u);
    EXPECT_EQ(le16(file, 26), 1u);
    EXPECT_EQ(le16(file, 28), 24u);
    EXPECT_EQ(le32(file, 30), 0u);
    EXPECT_EQ(le32(file, 34), 3'148'800u);
    for (std::size_t at : {38u, 42u, 46u, 50u}) EXPECT_EQ(le32(file, at), 0u) << "offset " << at;
}

// Every row bottom-up, its pixel bytes as held, padding zero even where the source memory is not.
void expectPixelArray(const ImageView& view, const std::vector<std::uint8_t>& file) {
    const std::size_t stride = dibStride(view.width, view.bitsPerPixel);
    const std::size_t used = packedRowBytes(view.width, view.bitsPerPixel);
    const std::size_t offBits = le32(file, 10);
    ASSERT_EQ(file.size(), offBits + stride * view.height);
    for (int y = 0; y < view.height; ++y) {
        const std::uint8_t* stored = file.data() + offBits + (view.height - 1 - y) * stride;
        ASSERT_EQ(std::memcmp(stored, view.row(y), used), 0) << "image row " << y;
        for (std::size_t i = used; i < stride; ++i) ASSERT_EQ(stored[i], 0) << "row " << y << " pad " << i;
    }
}

struct Shape {
    int width, height, bits;
    std::uint32_t stride;
};

TEST(BmpWriter, RowsArePaddedToWordsAndStoredBottomUp) {
    const Shape shapes[] = {
        {1, 3, 24, 4}, {2, 5, 24, 8}, {3, 1, 24, 12}, {4, 7, 24, 12}, {5, 3, 24, 16},
        {1, 3, 32, 4}, {2, 5, 32, 8}, {3, 1, 32, 12}, {5, 9, 32, 20},
        {3, 3, 16, 8}, {7, 3, 8, 8}, {9, 5, 4, 8}, {33, 3, 1, 8},
    };
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(testing::Message() << shape.width << "x" << shape.height << "@" << shape.bits);
        for (bool bottomUp : {true, false}) {
            const auto picture = test::randomPicture(shape.width, shape.height, shape.bits, 7, bottomUp);
            const auto file = bmpOf(picture.view);
            EXPECT_EQ(le32(file, 34), shape.stride * shape.height);
            EXPECT_EQ(le16(file, 28), shape.bits);
            EXPECT_EQ(le32(file, 30), 0u);
            EXPECT_EQ(le32(file, 2), file.size());
            expectPixelArray(picture.view, file);
        }
    }
}

class WriteCounter final : public ByteSink {
public:
    void write(std::span<const std::uint8_t> bytes) override {
        ++writes;
        copy.write(bytes);
    }
    int writes = 0;
    MemorySink copy;
};

// Zero padding lets the memory go out as it is; anything else there is written as zeros.
TEST(BmpWriter, PixelsAlreadyLaidOutAsTheFileGoOutInOneWrite) {
    for (bool zeroPadding : {true, false}) {
        SCOPED_TRACE(zeroPadding ? "zero padding" : "other bytes in the padding");
        auto picture = test::randomPicture(1366, 20, 24);
        if (zeroPadding)
            for (std::size_t row = 0; row < 20; ++row) picture.memory[row * 4100 + 4098] = picture.memory[row * 4100 + 4099] = 0;
        WriteCounter sink;
        writeBmp(picture.view, sink);
        EXPECT_EQ(sink.writes, zeroPadding ? 2 : 1 + 2 * 20) << "headers, then the pixels";
        expectPixelArray(picture.view, sink.copy.bytes());
    }
}

TEST(BmpWriter, IndexedPicturesCarryAFullColourTable) {
    for (int bits : {1, 4, 8}) {
        SCOPED_TRACE(bits);
        auto picture = test::randomPicture(6, 3, bits);
        const std::size_t entries = std::size_t{1} << bits;
        picture.palette.resize(entries / 2);  // a short table is completed with black
        picture.view.palette = picture.palette;
        const auto file = bmpOf(picture.view);
        EXPECT_EQ(le32(file, 10), 54 + 4 * entries);
        EXPECT_EQ(le32(file, 46), entries);
        for (std::size_t i = 0; i < entries; ++i) {
            const std::uint8_t* entry = file.data() + 54 + 4 * i;
            const PaletteEntry expected = i < picture.palette.size() ? picture.palette[i] : PaletteEntry{};
            EXPECT_EQ(entry[0], expected.blue);
            EXPECT_EQ(entry[1], expected.green);
            EXPECT_EQ(entry[2], expected.red);
            EXPECT_EQ(entry[3], 0) << "the fourth byte of a table entry is always zero";
        }
        expectPixelArray(picture.view, file);
    }
}

TEST(BmpWriter, EmptyPictureWritesNothing) {
    for (auto [w, h] : {std::pair{0, 0}, {0, 5}, {5, 0}}) EXPECT_TRUE(bmpOf(ImageView{w, h, 24, nullptr, 0, {}}).empty());
}

TEST(BmpWriter, RefusesPicturesItCannotDescribe) {
    const auto picture = test::randomPicture(4, 4, 24);
    ImageView badBits = picture.view;
    badBits.bitsPerPixel = 12;
    ImageView noPixels{4, 4, 24, nullptr, 12, {}};
    ImageView negative{-4, 4, 24, picture.view.top, picture.view.stride, {}};
    // 2^31 - 1 pixels wide and 2^20 high: more than a BMP's 32-bit size fields can hold.
    ImageView huge{0x7fffffff, 1 << 20, 24, picture.view.top, 1, {}};
    for (const ImageView& view : {badBits, noPixels, negative, huge}) {
        MemorySink sink;
        EXPECT_THROW(writeBmp(view, sink), Error);
        EXPECT_TRUE(sink.bytes().empty()) << "nothing is written before the picture is checked";
    }
}

}  // namespace
}  // namespace kadrix
