#include <gtest/gtest.h>

#include <cstring>

#include "app/Error.h"
#include "imaging/BmpWriter.h"
#include "imaging/JpegWriter.h"
#include "imaging/PixelRows.h"
#include "imaging/PngWriter.h"
#include "imaging_fixtures.h"

namespace kadrix {
namespace {

// Bands copied out of a bottom-up picture, as GetDIBits would, counting every scan fetched.
struct Fetcher {
    const test::OwnedPicture& picture;
    std::vector<int> timesFetched = std::vector<int>(picture.view.height, 0);
    int failuresLeft = 0;

    FetchScans fetch() {
        return [this](int first, int count, std::uint8_t* out) {
            if (failuresLeft > 0 && failuresLeft--) throw Error(L"Cannot read the bitmap's pixels");
            const std::size_t stride = dibStride(picture.view.width, picture.view.bitsPerPixel);
            std::memcpy(out, picture.memory.data() + first * stride, count * stride);
            for (int scan = first; scan < first + count; ++scan) ++timesFetched[scan];
        };
    }
};

TEST(BandedRows, ReadersInEitherDirectionFetchEveryRowOnceAndSeeItsBytes) {
    for (int height : {1, 15, 16, 17, 37}) {
        for (bool downwards : {true, false}) {
            SCOPED_TRACE(testing::Message() << height << " rows, " << (downwards ? "top first" : "bottom first"));
            const auto picture = test::randomPicture(5, height, 24, height);
            Fetcher fetcher{picture};
            BandedRows rows(picture.view.shape(), fetcher.fetch());
            for (int i = 0; i < height; ++i) {
                const int y = downwards ? i : height - 1 - i;
                ASSERT_EQ(std::memcmp(rows.row(y), picture.view.row(y), 15), 0) << "row " << y;
            }
            EXPECT_EQ(fetcher.timesFetched, std::vector<int>(height, 1));
        }
    }
}

TEST(BandedRows, AFailedFetchLeavesNoBandBehind) {
    const auto picture = test::randomPicture(3, 40, 24);
    Fetcher fetcher{.picture = picture, .failuresLeft = 1};
    BandedRows rows(picture.view.shape(), fetcher.fetch());
    EXPECT_THROW(rows.row(0), Error);
    EXPECT_EQ(std::memcmp(rows.row(0), picture.view.row(0), 9), 0) << "the next read fetches again";
}

TEST(BandedRows, EncodersGiveTheSameBytesAsFromTheWholePictureInMemory) {
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        for (auto [width, height] : {std::pair{1, 1}, {7, 16}, {33, 37}, {250, 50}}) {
            SCOPED_TRACE(testing::Message() << width << "x" << height << "@" << bits);
            const auto picture = test::randomPicture(width, height, bits, bits + width);
            Fetcher fetcher{picture};
            const auto banded = [&] { return BandedRows(picture.view.shape(), fetcher.fetch()); };

            MemorySink whole, inBands;
            writeBmp(picture.view, whole);
            auto bmpRows = banded();
            writeBmp(bmpRows, inBands);
            EXPECT_EQ(inBands.bytes(), whole.bytes()) << "BMP";
            if (bits != 16) {
                MemorySink wholePng, bandedPng;
                writePng(picture.view, wholePng);
                auto pngRows = banded();
                writePng(pngRows, bandedPng);
                EXPECT_EQ(bandedPng.bytes(), wholePng.bytes()) << "PNG";
            }
            if (bits >= 24) {
                auto jpegRows = banded();
                EXPECT_EQ(compressJpeg(jpegRows, 60), compressJpeg(picture.view, 60)) << "JPEG";
            }
        }
    }
}

}  // namespace
}  // namespace kadrix
