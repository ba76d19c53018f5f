#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "app/Error.h"
#include "imaging/PngReader.h"
#include "png_test_support.h"

namespace kadrix {
namespace {

std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint8_t premultiplied(std::uint8_t colour, std::uint8_t alpha) {
    return static_cast<std::uint8_t>((colour * alpha + 127) / 255);
}

// libpng's straight BGRA, premultiplied here, against our output.
void expectSameAsLibpng(const std::vector<std::uint8_t>& file) {
    const auto reference = test::decodeWithLibpng(file, PNG_FORMAT_BGRA);
    const DecodedPicture ours = decodePng(file);
    ASSERT_EQ(ours.width, static_cast<int>(reference.width));
    ASSERT_EQ(ours.height, static_cast<int>(reference.height));
    ASSERT_EQ(ours.bgra.size(), reference.pixels.size());
    for (std::size_t i = 0; i < ours.bgra.size(); i += 4) {
        const std::uint8_t alpha = reference.pixels[i + 3];
        const std::uint8_t expected[] = {premultiplied(reference.pixels[i], alpha),
                                         premultiplied(reference.pixels[i + 1], alpha),
                                         premultiplied(reference.pixels[i + 2], alpha), alpha};
        ASSERT_TRUE(std::equal(std::begin(expected), std::end(expected), ours.bgra.begin() + i)) << "pixel " << i / 4;
    }
}

TEST(PngReader, ReadsTheProgramArtworkLikeLibpng) {
    const auto art = std::filesystem::path(__FILE__).parent_path() / "../../resources/art";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(art)) {
        if (entry.path().extension() != ".png") continue;
        SCOPED_TRACE(entry.path().filename().string());
        expectSameAsLibpng(readFile(entry.path()));
        ++files;
    }
    EXPECT_EQ(files, 12) << "nine glyphs and three button pictures";
}

// A PNG written by libpng with one filter forced on every row.
std::vector<std::uint8_t> libpngFile(int width, int height, bool alpha, int filter, unsigned seed) {
    std::vector<std::uint8_t> file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &file, [](png_structp p, png_bytep data, png_size_t size) {
        auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(p));
        out->insert(out->end(), data, data + size);
    }, nullptr);
    png_set_IHDR(png, info, width, height, 8, alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, 0, filter);
    png_write_info(png, info);
    const int channels = alpha ? 4 : 3;
    std::mt19937 random(seed);
    std::vector<std::uint8_t> row(width * channels);
    for (int y = 0; y < height; ++y) {
        // Smooth runs with random steps, so every predictor sees both small and large differences.
        for (std::size_t i = 0; i < row.size(); ++i)
            row[i] = static_cast<std::uint8_t>(random() % 4 == 0 ? random() : (i >= 4 ? row[i - 4] + 3 : y * 7));
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return file;
}

TEST(PngReader, UndoesEveryFilterForRgbAndRgba) {
    const int filters[] = {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_AVG, PNG_FILTER_PAETH, PNG_ALL_FILTERS};
    for (bool alpha : {false, true})
        for (int filter : filters)
            for (auto [width, height] : {std::pair{1, 1}, {5, 3}, {24, 24}, {277, 66}}) {
                SCOPED_TRACE(testing::Message() << width << "x" << height << (alpha ? " RGBA" : " RGB") << " filter " << filter);
                expectSameAsLibpng(libpngFile(width, height, alpha, filter, width + height + filter));
            }
}

// Builds a file chunk by chunk, with correct CRCs unless told otherwise.
class PngBuilder {
public:
    PngBuilder& chunk(const std::string& type, const std::vector<std::uint8_t>& data) {
        const std::size_t at = file_.size();
        for (int shift : {24, 16, 8, 0}) file_.push_back(static_cast<std::uint8_t>(data.size() >> shift));
        file_.insert(file_.end(), type.begin(), type.end());
        file_.insert(file_.end(), data.begin(), data.end());
        const uLong crc = crc32(0, file_.data() + at + 4, static_cast<uInt>(data.size() + 4));
        for (int shift : {24, 16, 8, 0}) file_.push_back(static_cast<std::uint8_t>(crc >> shift));
        return *this;
    }
    PngBuilder& header(std::uint32_t width, std::uint32_t height, std::uint8_t depth = 8, std::uint8_t colourType = 6,
                       std::uint8_t interlace = 0) {
        std::vector<std::uint8_t> data;
        for (std::uint32_t value : {width, height})
            for (int shift : {24, 16, 8, 0}) data.push_back(static_cast<std::uint8_t>(value >> shift));
        data.insert(data.end(), {depth, colourType, 0, 0, interlace});
        return chunk("IHDR", data);
    }
    PngBuilder& data(const std::vector<std::uint8_t>& scanlines) {
        std::vector<std::uint8_t> packed(compressBound(scanlines.size()));
        uLongf size = packed.size();
        compress(packed.data(), &size, scanlines.data(), scanlines.size());
        packed.resize(size);
        return chunk("IDAT", packed);
    }
    PngBuilder& end() { return chunk("IEND", {}); }
    std::vector<std::uint8_t> file() const { return file_; }

private:
    std::vector<std::uint8_t> file_{137, 80, 78, 71, 13, 10, 26, 10};
};

// Two RGBA rows of two pixels, each row led by its filter byte.
std::vector<std::uint8_t> scanlines(std::uint8_t filter = 0, int rows = 2) {
    std::vector<std::uint8_t> lines;
    for (int y = 0; y < rows; ++y) lines.insert(lines.end(), {filter, 10, 20, 30, 255, 40, 50, 60, 128});
    return lines;
}

TEST(PngReader, AHandBuiltFileDecodes) {
    const auto file = PngBuilder().header(2, 2).chunk("tEXt", {'a', 0, 'b'}).data(scanlines()).end().file();
    const DecodedPicture picture = decodePng(file);
    ASSERT_EQ(picture.bgra.size(), 16u);
    const std::vector<std::uint8_t> firstRow = {30, 20, 10, 255, 30, 25, 20, 128};  // 60*128/255 = 30.1 -> 30
    EXPECT_EQ(std::vector<std::uint8_t>(picture.bgra.begin(), picture.bgra.begin() + 8), firstRow);
}

TEST(PngReader, RejectsDamagedAndUnsupportedFiles) {
    const auto good = PngBuilder().header(2, 2).data(scanlines()).end().file();
    ASSERT_NO_THROW(decodePng(good));
    auto badCrc = good;
    badCrc[40] ^= 0x01;  // inside the IDAT data
    auto badSignature = good;
    badSignature[1] = 'Q';

    struct Case {
        const char* name;
        std::vector<std::uint8_t> file;
    };
    const Case cases[] = {
        {"empty", {}},
        {"signature only", std::vector<std::uint8_t>(good.begin(), good.begin() + 8)},
        {"cut inside IHDR", std::vector<std::uint8_t>(good.begin(), good.begin() + 20)},
        {"cut inside IDAT", std::vector<std::uint8_t>(good.begin(), good.begin() + 45)},
        {"no IEND", std::vector<std::uint8_t>(good.begin(), good.end() - 12)},
        {"bad signature", badSignature},
        {"bad CRC", badCrc},
        {"16-bit samples", PngBuilder().header(2, 2, 16).data(scanlines()).end().file()},
        {"palette", PngBuilder().header(2, 2, 8, 3).chunk("PLTE", {0, 0, 0}).data(scanlines()).end().file()},
        {"grey", PngBuilder().header(2, 2, 8, 0).data(scanlines()).end().file()},
        {"interlaced", PngBuilder().header(2, 2, 8, 6, 1).data(scanlines()).end().file()},
        {"zero width", PngBuilder().header(0, 2).data(scanlines()).end().file()},
        {"huge", PngBuilder().header(1'000'000, 1'000'000).data(scanlines()).end().file()},
        {"rows missing", PngBuilder().header(2, 3).data(scanlines()).end().file()},
        {"rows too many", PngBuilder().header(2, 1).data(scanlines()).end().file()},
        {"filter 5", PngBuilder().header(2, 2).data(scanlines(5)).end().file()},
        {"no IDAT", PngBuilder().header(2, 2).end().file()},
        {"IDAT not zlib", PngBuilder().header(2, 2).chunk("IDAT", {1, 2, 3, 4}).end().file()},
        {"IHDR not first", PngBuilder().chunk("tEXt", {'a', 0}).header(2, 2).data(scanlines()).end().file()},
        {"two IHDR", PngBuilder().header(2, 2).header(2, 2).data(scanlines()).end().file()},
        {"unknown critical chunk", PngBuilder().header(2, 2).chunk("ABCD", {}).data(scanlines()).end().file()},
    };
    for (const Case& c : cases) EXPECT_THROW(decodePng(c.file), Error) << c.name;
}

}  // namespace
}  // namespace kadrix
