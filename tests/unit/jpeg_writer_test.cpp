#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <jpeglib.h>
#include <jerror.h>

#include "app/Error.h"
#include "imaging/JpegWriter.h"
#include "imaging_fixtures.h"
#include "libjpeg_direct.h"

namespace kadrix {
namespace {

struct Segment {
    std::uint8_t marker;
    std::vector<std::uint8_t> data;  // without marker and length
};

// Markers in order; the entropy-coded data after SOS is skipped up to the next real marker.
std::vector<Segment> segmentsOf(const JpegBytes& file) {
    std::vector<Segment> segments;
    std::size_t at = 0;
    while (at + 1 < file.size()) {
        if (file[at] != 0xFF) throw std::runtime_error("marker expected");
        const std::uint8_t marker = file[at + 1];
        at += 2;
        if (marker == 0xD8 || marker == 0xD9) {
            segments.push_back({marker, {}});
            continue;
        }
        const std::size_t length = file.at(at) << 8 | file.at(at + 1);
        segments.push_back({marker, std::vector<std::uint8_t>(file.begin() + at + 2, file.begin() + at + length)});
        at += length;
        if (marker == 0xDA)
            while (at + 1 < file.size() && !(file[at] == 0xFF && file[at + 1] != 0 && (file[at + 1] & 0xF8) != 0xD0)) ++at;
    }
    return segments;
}

// Edges and noise in brightness over smooth colour, like a photograph; 4:2:0 sampling
// keeps such a picture well, so the decoded pixels must come close.
test::OwnedPicture photoLike(int width, int height, int bits) {
    auto picture = test::randomPicture(width, height, bits, 17);
    const int step = bits / 8;
    for (int y = 0; y < height; ++y) {
        auto* row = const_cast<std::uint8_t*>(picture.view.row(y));
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = row + x * step;
            const int grey = ((x / 8 + y / 8) % 2) * 90 + 60 + p[0] % 9;
            p[0] = static_cast<std::uint8_t>(grey + 40 * y / height);
            p[1] = static_cast<std::uint8_t>(grey + 20);
            p[2] = static_cast<std::uint8_t>(grey + 40 * x / width);
        }
    }
    return picture;
}

// Annex K.1 example tables, natural order.
constexpr int kLuminance[64] = {
    16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55, 14, 13, 16, 24, 40, 57, 69, 56,
    14, 17, 22, 29, 51, 87, 80, 62, 18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
constexpr int kChrominance[64] = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99, 99, 99,
    47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};
constexpr int kZigzagToNatural[64] = {
    0, 1, 8, 16, 9, 2, 3, 10, 17, 24, 32, 25, 18, 11, 4, 5, 12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6, 7, 14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22,
    15, 23, 30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

std::vector<std::uint8_t> expectedTable(const int (&base)[64], int quality) {
    const int percent = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    std::vector<std::uint8_t> zigzag(64);
    for (int i = 0; i < 64; ++i)
        zigzag[i] = static_cast<std::uint8_t>(std::clamp((base[kZigzagToNatural[i]] * percent + 50) / 100, 1, 255));
    return zigzag;
}

TEST(JpegWriter, StreamHasExactlyTheBaselineSegments) {
    for (int quality : {20, 60, 100}) {
        SCOPED_TRACE(quality);
        const auto picture = photoLike(45, 31, 24);
        const auto segments = segmentsOf(compressJpeg(picture.view, quality));
        std::vector<int> markers;
        for (const Segment& s : segments) markers.push_back(s.marker);
        EXPECT_EQ(markers, (std::vector<int>{0xD8, 0xE0, 0xDB, 0xDB, 0xC0, 0xC4, 0xC4, 0xC4, 0xC4, 0xDA, 0xD9}));
        ASSERT_EQ(segments.size(), 11u);

        const std::vector<std::uint8_t> jfif = {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
        EXPECT_EQ(segments[1].data, jfif) << "JFIF 1.01, no density unit, 1 x 1, no thumbnail";

        for (int table = 0; table < 2; ++table) {
            const auto& dqt = segments[2 + table].data;
            ASSERT_EQ(dqt.size(), 65u);
            EXPECT_EQ(dqt[0], table) << "8-bit precision, table id";
            const auto expected = expectedTable(table == 0 ? kLuminance : kChrominance, quality);
            EXPECT_EQ(std::vector<std::uint8_t>(dqt.begin() + 1, dqt.end()), expected) << "table " << table;
        }

        const std::vector<std::uint8_t> sof = {8, 0, 31, 0, 45, 3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1};
        EXPECT_EQ(segments[4].data, sof);
        const std::vector<std::uint8_t> sos = {3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0};
        EXPECT_EQ(segments[9].data, sos);
    }
}

TEST(JpegWriter, QualityRuleExamples) {
    const auto picture = photoLike(16, 16, 24);
    const auto q20 = segmentsOf(compressJpeg(picture.view, 20));
    EXPECT_EQ(q20[2].data[1], 40) << "16 x 250 %";
    const auto q100 = segmentsOf(compressJpeg(picture.view, 100));
    for (int table : {2, 3})
        for (std::size_t i = 1; i < 65; ++i) EXPECT_EQ(q100[table].data[i], 1);
}

// Annex K.3: code-length counts of the four tables; the symbols are libjpeg's standard ones.
TEST(JpegWriter, HuffmanTablesAreTheStandardOnesUnoptimised) {
    struct Expected {
        std::uint8_t classAndId;
        std::vector<std::uint8_t> counts;
    };
    const Expected expected[] = {
        {0x00, {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0}},
        {0x10, {0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7d}},
        {0x01, {0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0}},
        {0x11, {0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77}},
    };
    jpeg_compress_struct reference{};
    jpeg_error_mgr errors{};
    reference.err = jpeg_std_error(&errors);
    jpeg_create_compress(&reference);
    reference.in_color_space = JCS_RGB;
    reference.input_components = 3;
    jpeg_set_defaults(&reference);

    const auto picture = photoLike(64, 48, 32);
    const auto segments = segmentsOf(compressJpeg(picture.view, 60));
    for (int i = 0; i < 4; ++i) {
        const auto& dht = segments[5 + i].data;
        ASSERT_GE(dht.size(), 17u);
        EXPECT_EQ(dht[0], expected[i].classAndId);
        EXPECT_EQ(std::vector<std::uint8_t>(dht.begin() + 1, dht.begin() + 17), expected[i].counts);
        const JHUFF_TBL* table = (expected[i].classAndId & 0x10 ? reference.ac_huff_tbl_ptrs
                                                                : reference.dc_huff_tbl_ptrs)[expected[i].classAndId & 1];
        const std::vector<std::uint8_t> symbols(table->huffval, table->huffval + (dht.size() - 17));
        EXPECT_EQ(std::vector<std::uint8_t>(dht.begin() + 17, dht.end()), symbols);
    }
    jpeg_destroy_compress(&reference);
}

struct Decoded {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
};

Decoded decodeWithLibjpeg(const JpegBytes& file) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), file.size());
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    Decoded decoded{static_cast<int>(info.output_width), static_cast<int>(info.output_height), {}};
    decoded.rgb.resize(std::size_t{info.output_width} * info.output_height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = decoded.rgb.data() + std::size_t{info.output_scanline} * info.output_width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return decoded;
}

double psnr(const ImageView& view, const Decoded& decoded) {
    double squares = 0;
    for (int y = 0; y < view.height; ++y)
        for (int x = 0; x < view.width; ++x) {
            const auto expected = test::rgbAt(view, x, y);
            for (int c = 0; c < 3; ++c) {
                const double d = expected[c] - decoded.rgb[(std::size_t{static_cast<std::size_t>(y)} * view.width + x) * 3 + c];
                squares += d * d;
            }
        }
    const double mse = squares / (3.0 * view.width * view.height);
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

TEST(JpegWriter, DecodesToTheSamePictureWithinAQualityBound) {
    const std::pair<int, double> bounds[] = {{20, 33}, {60, 36}, {100, 47}};
    for (auto [quality, minimumPsnr] : bounds) {
        const auto picture = photoLike(200, 120, 24);
        const auto decoded = decodeWithLibjpeg(compressJpeg(picture.view, quality));
        ASSERT_EQ(decoded.width, 200);
        ASSERT_EQ(decoded.height, 120);
        EXPECT_GT(psnr(picture.view, decoded), minimumPsnr) << "quality " << quality;
    }
}

TEST(JpegWriter, SmallPicturesIn24And32BitsGiveTheSameFile) {
    for (int width = 1; width <= 5; ++width)
        for (int height : {1, 3, 9}) {
            SCOPED_TRACE(testing::Message() << width << "x" << height);
            const auto rgb = photoLike(width, height, 24);
            auto rgbx = test::randomPicture(width, height, 32, 3);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    std::copy_n(rgb.view.row(y) + 3 * x, 3, const_cast<std::uint8_t*>(rgbx.view.row(y)) + 4 * x);
            const auto file = compressJpeg(rgb.view, 60);
            EXPECT_EQ(compressJpeg(rgbx.view, 60), file);
            const auto decoded = decodeWithLibjpeg(file);
            EXPECT_EQ(decoded.width, width);
            EXPECT_EQ(decoded.height, height);
            EXPECT_GT(psnr(rgb.view, decoded), 27);
        }
}

// Same pixels and settings through libjpeg directly, with the given DCT, from red-green-blue rows.
JpegBytes referenceJpeg(const ImageView& view, int quality, J_DCT_METHOD dct) {
    std::vector<std::uint8_t> row(view.width * 3);
    JpegBytes bytes;
    test::libjpegDirect(view.width, view.height, JCS_RGB, quality, dct, [&](int y) {
        for (int x = 0; x < view.width; ++x) {
            const auto rgb = test::rgbAt(view, x, y);
            std::copy(rgb.begin(), rgb.end(), row.begin() + 3 * x);
        }
        return row.data();
    }, &bytes);
    return bytes;
}

TEST(JpegWriter, UsesTheFloatingPointDct) {
    const auto picture = photoLike(96, 64, 24);
    const auto ours = compressJpeg(picture.view, 60);
    EXPECT_EQ(ours, referenceJpeg(picture.view, 60, JDCT_FLOAT));
    EXPECT_NE(ours, referenceJpeg(picture.view, 60, JDCT_ISLOW)) << "the picture must tell the two DCTs apart";
}

TEST(JpegWriter, CaptureRowsGiveTheBytesOfRedGreenBlueRowsAtEveryQuality) {
    // Odd width: 24-bit rows carry padding, which must not be read as pixels.
    const auto bgr = photoLike(37, 23, 24);
    auto bgrx = test::randomPicture(37, 23, 32, 5);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x)
            std::copy_n(bgr.view.row(y) + 3 * x, 3, const_cast<std::uint8_t*>(bgrx.view.row(y)) + 4 * x);
    for (int quality = 1; quality <= 100; ++quality) {
        const auto reference = referenceJpeg(bgr.view, quality, JDCT_FLOAT);
        ASSERT_EQ(compressJpeg(bgr.view, quality), reference) << "24 bits, quality " << quality;
        ASSERT_EQ(compressJpeg(bgrx.view, quality), reference) << "32 bits, quality " << quality;
    }
}

TEST(JpegWriter, HigherQualityGivesLargerFiles) {
    const auto picture = photoLike(320, 200, 24);
    const auto q20 = compressJpeg(picture.view, 20).size();
    const auto q60 = compressJpeg(picture.view, 60).size();
    const auto q100 = compressJpeg(picture.view, 100).size();
    EXPECT_LT(q20, q60);
    EXPECT_LT(q60, q100);
}

TEST(JpegWriter, LibjpegErrorsBecomeJpegErrorWithTheirCode) {
    // Wider than a JPEG frame can be.
    const auto picture = test::randomPicture(JPEG_MAX_DIMENSION + 1, 1, 24);
    try {
        compressJpeg(picture.view, 60);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.text(), L"JPEG error #" + std::to_wstring(JERR_IMAGE_TOO_BIG));
    }
}

TEST(JpegWriter, EmptyPictureGivesNoBytesAndOtherLayoutsAreRefused) {
    EXPECT_TRUE(compressJpeg(ImageView{0, 0, 24, nullptr, 0, {}}, 60).empty());
    EXPECT_TRUE(compressJpeg(ImageView{0, 7, 32, nullptr, 0, {}}, 60).empty());
    for (int bits : {16, 8}) EXPECT_THROW(compressJpeg(test::randomPicture(4, 4, bits).view, 60), Error);
}

TEST(JpegWriter, JpeginfoAcceptsTheFiles) {
    const auto path = std::filesystem::temp_directory_path() / "kadrix_jpeginfo.jpg";
    for (int quality : {20, 60, 100}) {
        const auto file = compressJpeg(photoLike(333, 217, 32).view, quality);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
        const int status = std::system(("jpeginfo -c '" + path.string() + "' >/dev/null 2>&1").c_str());
        if (WIFEXITED(status) && WEXITSTATUS(status) == 127) GTEST_SKIP() << "jpeginfo is not installed";
        EXPECT_EQ(status, 0) << "jpeginfo rejected quality " << quality;
    }
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace kadrix
