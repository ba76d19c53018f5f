#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/Error.h"
#include "imaging/PngWriter.h"
#include "imaging_fixtures.h"
#include "png_test_support.h"

namespace kadrix {
namespace {

using test::PngChunk;

std::vector<std::uint8_t> pngOf(const ImageView& view) {
    MemorySink sink;
    writePng(view, sink);
    return sink.bytes();
}

std::vector<std::string> typesOf(const std::vector<PngChunk>& chunks) {
    std::vector<std::string> types;
    for (const PngChunk& chunk : chunks)
        if (types.empty() || types.back() != chunk.type || chunk.type != "IDAT") types.push_back(chunk.type);
    return types;
}

// Chunk framing, IHDR, the filter byte of every row and the pixels, checked for one picture.
void expectFaithfulPng(const ImageView& view) {
    const auto file = pngOf(view);
    const std::uint8_t signature[] = {137, 80, 78, 71, 13, 10, 26, 10};
    ASSERT_GE(file.size(), 8u);
    ASSERT_TRUE(std::equal(std::begin(signature), std::end(signature), file.begin()));
    const auto chunks = test::pngChunks(file);
    for (const PngChunk& chunk : chunks) EXPECT_TRUE(chunk.crcMatches) << chunk.type;

    const bool indexed = view.bitsPerPixel < 16;
    const std::vector<std::string> expectedTypes =
        indexed ? std::vector<std::string>{"IHDR", "PLTE", "IDAT", "IEND"} : std::vector<std::string>{"IHDR", "IDAT", "IEND"};
    ASSERT_EQ(typesOf(chunks), expectedTypes);
    EXPECT_TRUE(chunks.back().data.empty());

    const auto& ihdr = chunks[0].data;
    ASSERT_EQ(ihdr.size(), 13u);
    EXPECT_EQ(test::big32(&ihdr[0]), static_cast<std::uint32_t>(view.width));
    EXPECT_EQ(test::big32(&ihdr[4]), static_cast<std::uint32_t>(view.height));
    EXPECT_EQ(ihdr[8], indexed ? view.bitsPerPixel : 8);
    EXPECT_EQ(ihdr[9], indexed ? 3 : 2);
    EXPECT_EQ(ihdr[10], 0);
    EXPECT_EQ(ihdr[11], 0);
    EXPECT_EQ(ihdr[12], 0);
    if (indexed) {
        const auto& plte = chunks[1].data;
        ASSERT_EQ(plte.size(), 3u << view.bitsPerPixel);
        for (std::size_t i = 0; i < view.palette.size(); ++i) {
            EXPECT_EQ(plte[3 * i], view.palette[i].red);
            EXPECT_EQ(plte[3 * i + 1], view.palette[i].green);
            EXPECT_EQ(plte[3 * i + 2], view.palette[i].blue);
        }
    }

    // zlib header of a level-7 deflate stream with a 32 KiB window: 0x78 0xDA.
    const auto stream = test::idatStream(chunks);
    ASSERT_GE(stream.size(), 2u);
    EXPECT_EQ(stream[0], 0x78);
    EXPECT_EQ(stream[1], 0xDA);

    const std::size_t rowBytes = indexed ? packedRowBytes(view.width, view.bitsPerPixel) : 3u * view.width;
    const auto lines = test::inflateAll(stream, (rowBytes + 1) * view.height);
    ASSERT_EQ(lines.size(), (rowBytes + 1) * view.height);
    for (int y = 0; y < view.height; ++y) {
        const std::uint8_t* line = &lines[y * (rowBytes + 1)];
        ASSERT_EQ(line[0], 1) << "row " << y << " must use the Sub filter";
        if (!indexed) {
            const auto first = test::rgbAt(view, 0, y);
            EXPECT_TRUE(std::equal(first.begin(), first.end(), line + 1)) << "first pixel of row " << y;
        }
    }

    const auto decoded = test::decodeWithLibpng(file, PNG_FORMAT_RGB);
    ASSERT_EQ(decoded.width, static_cast<png_uint_32>(view.width));
    ASSERT_EQ(decoded.height, static_cast<png_uint_32>(view.height));
    for (int y = 0; y < view.height; ++y)
        for (int x = 0; x < view.width; ++x) {
            const auto expected = test::rgbAt(view, x, y);
            const std::uint8_t* got = &decoded.pixels[(static_cast<std::size_t>(y) * view.width + x) * 3];
            ASSERT_TRUE(std::equal(expected.begin(), expected.end(), got)) << "pixel " << x << "," << y;
        }
}

TEST(PngWriter, SmallPicturesOfEveryLayoutRoundTripExactly) {
    for (int bits : {24, 32, 8, 4, 2, 1})
        for (int width = 1; width <= 5; ++width)
            for (int height : {1, 3, 7}) {
                SCOPED_TRACE(testing::Message() << width << "x" << height << "@" << bits);
                const auto picture = test::randomPicture(width, height, bits, width * 31 + height);
                expectFaithfulPng(picture.view);
            }
}

TEST(PngWriter, TopDownAndBottomUpMemoryGiveTheSameFile) {
    const auto bottomUp = test::randomPicture(37, 11, 24, 5, true);
    const std::size_t stride = dibStride(37, 24);
    std::vector<std::uint8_t> topDownMemory;
    for (int y = 0; y < 11; ++y) topDownMemory.insert(topDownMemory.end(), bottomUp.view.row(y), bottomUp.view.row(y) + stride);
    const ImageView topDown{37, 11, 24, topDownMemory.data(), static_cast<std::ptrdiff_t>(stride), {}};
    EXPECT_EQ(pngOf(bottomUp.view), pngOf(topDown));
}

TEST(PngWriter, TheFourthByteOfA32BitPixelIsDropped) {
    auto a = test::randomPicture(9, 4, 32, 3);
    auto b = a;
    b.view.top = b.memory.data() + (a.view.top - a.memory.data());
    for (std::size_t i = 3; i < b.memory.size(); i += 4) b.memory[i] ^= 0xFF;
    EXPECT_EQ(pngOf(a.view), pngOf(b.view));
}

// The stream is the one zlib makes from the filtered scanlines at level 7, window 15, memory level 8.
TEST(PngWriter, StreamIsZlibLevel7OfTheSubFilteredRows) {
    const auto picture = test::randomPicture(300, 40, 24, 11);
    const auto chunks = test::pngChunks(pngOf(picture.view));
    const auto stream = test::idatStream(chunks);
    const auto lines = test::inflateAll(stream, 901u * 40);

    z_stream z{};
    ASSERT_EQ(deflateInit2(&z, 7, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::vector<std::uint8_t> reference(deflateBound(&z, lines.size()));
    z.next_in = const_cast<Bytef*>(lines.data());
    z.avail_in = static_cast<uInt>(lines.size());
    z.next_out = reference.data();
    z.avail_out = static_cast<uInt>(reference.size());
    ASSERT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    reference.resize(z.total_out);
    deflateEnd(&z);
    EXPECT_EQ(stream, reference);
}

std::vector<std::size_t> idatSizes(const std::vector<std::uint8_t>& file) {
    std::vector<std::size_t> sizes;
    for (const PngChunk& chunk : test::pngChunks(file))
        if (chunk.type == "IDAT") sizes.push_back(chunk.data.size());
    return sizes;
}

// One row of random 8-bit indices hardly compresses, so each extra pixel adds about a byte
// to the stream: widening the row finds a picture whose stream has exactly the wanted length.
std::vector<std::uint8_t> pngWithStreamOf(std::size_t streamBytes) {
    long width = static_cast<long>(streamBytes) - 16;
    for (int attempt = 0; attempt < 200; ++attempt) {
        const auto picture = test::randomPicture(static_cast<int>(width), 1, 8, 99);
        auto file = pngOf(picture.view);
        std::size_t total = 0;
        for (std::size_t size : idatSizes(file)) total += size;
        const long missing = static_cast<long>(streamBytes) - static_cast<long>(total);
        if (missing == 0) return file;
        // Jump by the shortfall while it is large; step by one pixel near the goal, since
        // a stored-block header can make the length skip a few values.
        width += std::abs(missing) > 8 ? missing : (missing > 0 ? 1 : -1);
    }
    return {};
}

TEST(PngWriter, IdatPiecesAreExactly65535BytesAndNeverEmpty) {
    struct Case {
        std::size_t streamBytes;
        std::vector<std::size_t> pieces;
    };
    const Case cases[] = {
        {65535, {65535}},
        {65536, {65535, 1}},
        {2 * 65535, {65535, 65535}},
        {2 * 65535 + 1, {65535, 65535, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.streamBytes);
        const auto file = pngWithStreamOf(c.streamBytes);
        ASSERT_FALSE(file.empty()) << "no picture found whose stream has this length";
        EXPECT_EQ(idatSizes(file), c.pieces);
        EXPECT_NO_THROW(test::decodeWithLibpng(file, PNG_FORMAT_RGB));
    }
}

TEST(PngWriter, LargePictureSplitsIntoFullPiecesAndARest) {
    const auto picture = test::randomPicture(640, 400, 24, 4);
    const auto sizes = idatSizes(pngOf(picture.view));
    ASSERT_GT(sizes.size(), 2u);
    for (std::size_t i = 0; i + 1 < sizes.size(); ++i) EXPECT_EQ(sizes[i], 65535u);
    EXPECT_GT(sizes.back(), 0u);
    EXPECT_LE(sizes.back(), 65535u);
    expectFaithfulPng(picture.view);
}

TEST(PngWriter, EmptyPictureWritesNothingAndBadInputThrows) {
    MemorySink sink;
    writePng(ImageView{0, 0, 24, nullptr, 0, {}}, sink);
    writePng(ImageView{3, 0, 24, nullptr, 0, {}}, sink);
    EXPECT_TRUE(sink.bytes().empty());

    const auto sixteen = test::randomPicture(3, 3, 16);
    EXPECT_THROW(writePng(sixteen.view, sink), Error);
    EXPECT_THROW(writePng(ImageView{3, 3, 24, nullptr, 12, {}}, sink), Error);
    EXPECT_TRUE(sink.bytes().empty());
}

TEST(PngWriter, PngcheckAcceptsTheFiles) {
    const auto dir = std::filesystem::temp_directory_path();
    const std::pair<int, int> layouts[] = {{24, 1}, {32, 2}, {8, 3}, {1, 4}};
    for (auto [bits, seed] : layouts) {
        const auto picture = test::randomPicture(301, 211, bits, seed);
        const auto path = dir / ("kadrix_pngcheck_" + std::to_string(bits) + ".png");
        const auto file = pngOf(picture.view);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
        const int status = std::system(("pngcheck -q '" + path.string() + "' >/dev/null 2>&1").c_str());
        if (WIFEXITED(status) && WEXITSTATUS(status) == 127) GTEST_SKIP() << "pngcheck is not installed";
        EXPECT_EQ(status, 0) << "pngcheck rejected " << bits << "-bit output";
        std::filesystem::remove(path);
    }
}

}  // namespace
}  // namespace kadrix
