// The output stage's paths over services in memory, with real GDI captures.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <set>

#include "app/Error.h"
#include "bitmap_test_support.h"
#include "capture/OutputStage.h"
#include "imaging/PngReader.h"
#include "trace_listener.h"

namespace kadrix {
namespace {

// The clock, disk, clipboard, speaker and message box, in memory; `log` says what the
// stage did with them, in order.
struct FakeOutput final : OutputServices {
    LocalTime now{2017, 1, 1, 0, 0, 0, 0};  // names the file 112017_0000
    std::set<std::wstring> folders{L"C:\\Shots"};
    bool folders_refused = false;
    std::map<std::wstring, std::vector<std::uint8_t>> files;  // on the disk, whole or being written
    std::size_t free_bytes = SIZE_MAX;
    bool clipboard_held = false;
    std::function<void()> while_writing = [] {};
    std::vector<std::wstring> log;

    bool Exists(const std::wstring& folder) override { return folders.count(folder) > 0; }
    bool Create(const std::wstring& folder) override {
        if (folders_refused) return false;
        folders.insert(folder);
        log.push_back(L"folder " + folder);
        return true;
    }
    LocalTime Now() override { return now; }
    std::unique_ptr<OutputFile> CreateNewFile(const std::wstring& path) override;
    void PutOnClipboard(const Bitmap& capture) override {
        if (clipboard_held) throw Error(L"clipboard held by another program");
        log.push_back(L"clipboard " + std::to_wstring(capture.width()) + L"x" + std::to_wstring(capture.height()));
    }
    void PlayCaptureSound() override { log.push_back(L"sound"); }
    void ShowFolderMessage() override { log.push_back(L"folder message"); }
};

class FakeFile final : public OutputFile {
public:
    FakeFile(FakeOutput& disk, std::wstring path) : disk_(disk), path_(std::move(path)) {}
    ~FakeFile() override {
        if (!committed_) disk_.files.erase(path_);
    }
    void write(std::span<const std::uint8_t> bytes) override {
        disk_.while_writing();
        auto& content = disk_.files.at(path_);
        if (bytes.size() > disk_.free_bytes - content.size()) throw Error(L"disk full");
        content.insert(content.end(), bytes.begin(), bytes.end());
    }
    void commit() override {
        committed_ = true;
        disk_.log.push_back(L"commit");
    }

private:
    FakeOutput& disk_;
    std::wstring path_;
    bool committed_ = false;
};

std::unique_ptr<OutputFile> FakeOutput::CreateNewFile(const std::wstring& path) {
    if (!files.emplace(path, std::vector<std::uint8_t>()).second) return nullptr;
    log.push_back(L"new " + path);
    return std::make_unique<FakeFile>(*this, path);
}

COLORREF PatternAt(int x, int y) { return RGB(x * 9 + 1, y * 11 + 2, (x ^ y) * 5 + 3); }

// A 24-bit capture with a pattern every pixel of which a decoder can check.
void Paint(Bitmap& capture, int width, int height) {
    capture.setPixelFormat(PixelFormat::Bits24);
    capture.setSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) SetPixelV(capture.canvas(), x, y, PatternAt(x, y));
}

// One capture through the stage: 13 x 7 pixels, written as BMP into C:\Shots, sound on.
struct Stage {
    Bitmap capture;
    OptionsRecord options{.OPT_IMG_format = 0, .OPT_NeedSave = true, .OPT_SavePath = L"C:\\Shots",
                          .OPT_NeedCursor = false, .OPT_PlaySound = true};
    FakeOutput services;
    std::wstring save_file_name = L"earlier";
    std::unique_ptr<TPngImage> png;
    std::unique_ptr<TJPEGImage> jpeg;

    Stage() { Paint(capture, 13, 7); }
    void Run() { OutputCapture(capture, options, services, {save_file_name, png, jpeg}); }
};

using Log = std::vector<std::wstring>;

std::set<std::wstring> FileNames(const FakeOutput& services) {
    std::set<std::wstring> names;
    for (const auto& [path, bytes] : services.files) names.insert(path);
    return names;
}

TEST(OutputStage, EveryPathDoesItsStepsInOrderAndNothingElse) {
    const std::wstring shot = L"C:\\Shots\\112017_0000";
    const struct {
        const char* name;
        std::function<void(Stage&)> setup;
        Log log;
        std::wstring save_file_name;
        std::wstring new_file;  // empty: none stays on the disk
        const wchar_t* traced;  // what the failure's trace says; null: nothing is traced
    } cases[] = {
        {"a file, then the sound", [](Stage&) {}, {L"new " + shot + L".bmp", L"commit", L"sound"}, shot,
         shot + L".bmp", nullptr},
        {"sound switched off", [](Stage& s) { s.options.OPT_PlaySound = false; },
         {L"new " + shot + L".bmp", L"commit"}, shot, shot + L".bmp", nullptr},
        {"missing levels made outermost first", [](Stage& s) { s.options.OPT_SavePath = L"C:\\Shots\\2017\\Jan"; },
         {L"folder C:\\Shots\\2017", L"folder C:\\Shots\\2017\\Jan", L"new C:\\Shots\\2017\\Jan\\112017_0000.bmp",
          L"commit", L"sound"},
         L"C:\\Shots\\2017\\Jan\\112017_0000", L"C:\\Shots\\2017\\Jan\\112017_0000.bmp", nullptr},
        {"a folder that cannot be made: the message alone",
         [](Stage& s) {
             s.options.OPT_SavePath = L"Q:\\Снимки";
             s.services.folders_refused = true;
         },
         {L"folder message"}, L"earlier", L"", nullptr},
        {"an empty save path: the root of the current drive", [](Stage& s) { s.options.OPT_SavePath.clear(); },
         {L"new \\112017_0000.bmp", L"commit", L"sound"}, L"\\112017_0000", L"\\112017_0000.bmp", nullptr},
        {"format 5 names the file, writes nothing, and the sound plays",
         [](Stage& s) { s.options.OPT_IMG_format = 5; }, {L"sound"}, shot, L"", nullptr},
        {"format -1 likewise", [](Stage& s) { s.options.OPT_IMG_format = -1; }, {L"sound"}, shot, L"", nullptr},
        {"taken names are numbered",
         [&](Stage& s) {
             s.options.OPT_IMG_format = 1;
             s.services.files[shot + L".png"] = {1};
             s.services.files[shot + L"_2.png"] = {2};
         },
         {L"new " + shot + L"_3.png", L"commit", L"sound"}, shot + L"_3", shot + L"_3.png", nullptr},
        {"another extension is another name", [&](Stage& s) { s.services.files[shot + L".png"] = {1}; },
         {L"new " + shot + L".bmp", L"commit", L"sound"}, shot, shot + L".bmp", nullptr},
        {"a full disk: no file stays, no sound", [](Stage& s) { s.services.free_bytes = 100; },
         {L"new " + shot + L".bmp"}, shot, L"", L"disk full"},
        {"the clipboard, then the sound", [](Stage& s) { s.options.OPT_NeedSave = false; },
         {L"clipboard 13x7", L"sound"}, L"earlier", L"", nullptr},
        {"a clipboard held by another program: no sound",
         [](Stage& s) {
             s.options.OPT_NeedSave = false;
             s.services.clipboard_held = true;
         },
         {}, L"earlier", L"", L"clipboard held by another program"},
        {"the clipboard whatever the folder",
         [](Stage& s) {
             s.options.OPT_NeedSave = false;
             s.options.OPT_SavePath = L"Q:\\Снимки";
             s.services.folders_refused = true;
         },
         {L"clipboard 13x7", L"sound"}, L"earlier", L"", nullptr},
        {"an empty capture does nothing", [](Stage& s) { s.capture.setSize(0, 0); }, {}, L"earlier", L"", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Stage stage;
        c.setup(stage);
        std::set<std::wstring> files_after = FileNames(stage.services);
        if (!c.new_file.empty()) files_after.insert(c.new_file);
        test::TraceListener traces;
        stage.Run();

        EXPECT_EQ(stage.services.log, c.log);
        EXPECT_EQ(stage.save_file_name, c.save_file_name);
        EXPECT_EQ(FileNames(stage.services), files_after) << "earlier files stay as they were";
        const std::wstring traced = traces.Text();
        if (c.traced) {
            EXPECT_NE(traced.find(std::wstring(L"kadrix: capture output: ") + c.traced), std::wstring::npos) << traced;
        } else {
            EXPECT_EQ(traced.find(L"kadrix:"), std::wstring::npos) << traced;
        }
        EXPECT_FALSE(stage.png) << "the PNG writer is released";
        EXPECT_FALSE(stage.jpeg) << "the JPEG writer is released";
    }
}

// 24-bit BMP: the headers' sizes, bottom-up rows padded to four bytes.
void ExpectBmpOfThePattern(const std::vector<std::uint8_t>& bytes, int width, int height) {
    const std::size_t stride = (width * 3 + 3) & ~3;
    ASSERT_EQ(bytes.size(), 54 + stride * height);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(test::le32(bytes, 2), bytes.size());
    EXPECT_EQ(test::le32(bytes, 10), 54u);
    EXPECT_EQ(test::le32(bytes, 18), static_cast<std::uint32_t>(width));
    EXPECT_EQ(test::le32(bytes, 22), static_cast<std::uint32_t>(height));
    EXPECT_EQ(bytes[28], 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = bytes.data() + 54 + (height - 1 - y) * stride + x * 3;
            ASSERT_EQ(RGB(p[2], p[1], p[0]), PatternAt(x, y)) << x << "," << y;
        }
}

void ExpectPngOfThePattern(const std::vector<std::uint8_t>& bytes, int width, int height) {
    const DecodedPicture picture = decodePng(bytes);
    ASSERT_EQ(picture.width, width);
    ASSERT_EQ(picture.height, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = picture.bgra.data() + (y * width + x) * 4;
            ASSERT_EQ(RGB(p[2], p[1], p[0]), PatternAt(x, y)) << x << "," << y;
        }
}

// What a JPEG's markers say: its frame size and the first step of the luminance table,
// which the quality sets (20 gives 40, 60 gives 13, 100 gives 1).
struct JpegFacts {
    int width = 0, height = 0, first_luminance_step = 0;
    bool framed = false;  // starts with SOI and ends with EOI
};

JpegFacts ReadJpeg(const std::vector<std::uint8_t>& bytes) {
    JpegFacts facts;
    if (bytes.size() < 4) return facts;
    facts.framed = bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[bytes.size() - 2] == 0xFF && bytes.back() == 0xD9;
    for (std::size_t at = 2; at + 9 <= bytes.size() && bytes[at] == 0xFF && bytes[at + 1] != 0xDA;
         at += 2 + (bytes[at + 2] << 8 | bytes[at + 3])) {
        if (bytes[at + 1] == 0xDB && (bytes[at + 4] & 0x0F) == 0) facts.first_luminance_step = bytes[at + 5];
        if (bytes[at + 1] == 0xC0) {
            facts.height = bytes[at + 5] << 8 | bytes[at + 6];
            facts.width = bytes[at + 7] << 8 | bytes[at + 8];
        }
    }
    return facts;
}

TEST(OutputStage, EachFormatIndexHandsItsWriterTheCaptureAndItsBytesReachTheFile) {
    enum class Check { Bmp, Png, Jpeg };
    const struct {
        std::int32_t index;
        const wchar_t* extension;
        Check check;
        int first_luminance_step;  // JPEG only
    } cases[] = {{0, L".bmp", Check::Bmp, 0},
                 {1, L".png", Check::Png, 0},
                 {2, L".jpg", Check::Jpeg, 40},
                 {3, L".jpg", Check::Jpeg, 13},
                 {4, L".jpg", Check::Jpeg, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        Stage stage;
        stage.options.OPT_IMG_format = c.index;
        bool png_held = false, jpeg_held = false;
        stage.services.while_writing = [&] {
            png_held = png_held || stage.png;
            jpeg_held = jpeg_held || stage.jpeg;
        };
        stage.Run();

        const std::wstring path = std::wstring(L"C:\\Shots\\112017_0000") + c.extension;
        ASSERT_EQ(FileNames(stage.services), std::set<std::wstring>{path});
        const std::vector<std::uint8_t>& bytes = stage.services.files.at(path);
        EXPECT_EQ(png_held, c.check == Check::Png) << "the PNG writer exists only while its file is written";
        EXPECT_EQ(jpeg_held, c.check == Check::Jpeg) << "the JPEG writer exists only while its file is written";
        EXPECT_FALSE(stage.png);
        EXPECT_FALSE(stage.jpeg);
        switch (c.check) {
        case Check::Bmp:
            ExpectBmpOfThePattern(bytes, 13, 7);
            break;
        case Check::Png:
            ExpectPngOfThePattern(bytes, 13, 7);
            break;
        case Check::Jpeg: {
            const JpegFacts facts = ReadJpeg(bytes);
            EXPECT_TRUE(facts.framed);
            EXPECT_EQ(facts.width, 13);
            EXPECT_EQ(facts.height, 7);
            EXPECT_EQ(facts.first_luminance_step, c.first_luminance_step);
            break;
        }
        }
    }
}

TEST(OutputStage, AWriterThatFailsIsReleasedAndLeavesNoFile) {
    for (const std::int32_t index : {1, 3}) {  // the two formats with writer objects
        SCOPED_TRACE(index);
        Stage stage;
        stage.options.OPT_IMG_format = index;
        stage.services.free_bytes = 40;  // less than either file needs
        test::TraceListener traces;
        stage.Run();
        EXPECT_TRUE(stage.services.files.empty());
        EXPECT_EQ(stage.services.log.size(), 1u) << "no commit, no sound";
        EXPECT_FALSE(stage.png);
        EXPECT_FALSE(stage.jpeg);
        EXPECT_NE(traces.Text().find(L"disk full"), std::wstring::npos);
    }
}

}  // namespace
}  // namespace kadrix
