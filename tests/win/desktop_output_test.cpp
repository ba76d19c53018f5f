// The output stage's own services on Wine's disk, clipboard and message boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>

#include "Harness.h"
#include "app/Error.h"
#include "app/TavikConsts.h"
#include "app/Win32Handles.h"
#include "bitmap_test_support.h"
#include "capture/DesktopOutput.h"
#include "capture/OutputStage.h"
#include "error_box_watch.h"
#include "imaging/PngReader.h"

namespace kadrix {
namespace {

const std::vector<std::uint8_t> kBytes = {1, 2, 3, 4, 5};

// A hidden top-level window, as the main window is while the program sits in the tray.
unique_hwnd HiddenOwner() {
    return unique_hwnd(CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr));
}

TEST(DesktopOutput, NewFilesNeverReplaceOneThatExists) {
    test::ScratchFolder folder;
    const std::wstring earlier = folder.file(L"112017_0000.png"), fresh = folder.file(L"112017_0000_2.png");
    test::writeFile(earlier, "earlier capture");
    DesktopOutput services(nullptr);

    EXPECT_EQ(services.CreateNewFile(earlier), nullptr);
    std::unique_ptr<OutputFile> file = services.CreateNewFile(fresh);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(services.CreateNewFile(fresh), nullptr) << "a file being written is taken too";
    file->write(kBytes);
    file->commit();
    file.reset();
    EXPECT_EQ(test::readFile(fresh), kBytes);
    const std::vector<std::uint8_t> kept = test::readFile(earlier);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "earlier capture");
}

TEST(DesktopOutput, AFileDroppedBeforeItsCommitIsRemoved) {
    test::ScratchFolder folder;
    const std::wstring path = folder.file(L"partial.bmp");
    DesktopOutput services(nullptr);
    {
        std::unique_ptr<OutputFile> file = services.CreateNewFile(path);
        ASSERT_NE(file, nullptr);
        file->write(std::vector<std::uint8_t>(300'000, 7));  // past the sink's buffer: on the disk already
        EXPECT_TRUE(test::exists(path));
    }
    EXPECT_FALSE(test::exists(path));
}

TEST(DesktopOutput, AFileThatCannotBeMadeRaisesNamingIt) {
    test::ScratchFolder folder;
    const std::wstring path = folder.file(L"missing\\112017_0000.bmp");
    DesktopOutput services(nullptr);
    try {
        services.CreateNewFile(path);
        FAIL() << "a file in a missing folder";
    } catch (const Error& error) {
        EXPECT_NE(error.text().find(path), std::wstring::npos) << error.text();
    }
}

// The desktop's services at a fixed time, so the names are known beforehand.
struct AtNewYear final : OutputServices {
    DesktopOutput desktop{nullptr};
    bool Exists(const std::wstring& folder) override { return desktop.Exists(folder); }
    bool Create(const std::wstring& folder) override { return desktop.Create(folder); }
    LocalTime Now() override { return {2017, 1, 1, 0, 0, 0, 0}; }
    std::unique_ptr<OutputFile> CreateNewFile(const std::wstring& path) override { return desktop.CreateNewFile(path); }
    void PutOnClipboard(const Bitmap& capture) override { desktop.PutOnClipboard(capture); }
    void PlayCaptureSound() override { ADD_FAILURE() << "the sound is off"; }
    void ShowFolderMessage() override { ADD_FAILURE() << "the folder can be made"; }
};

TEST(DesktopOutput, TheStageMakesTheFolderTreeAndNumbersASecondCaptureOfTheSameName) {
    test::ScratchFolder scratch;
    const std::wstring tree = scratch.file(L"2017\\Январь");
    Bitmap capture;
    capture.setSize(5, 3);
    PatBlt(capture.canvas(), 0, 0, 5, 3, WHITENESS);
    const OptionsRecord options{.OPT_IMG_format = 1, .OPT_NeedSave = true, .OPT_SavePath = tree,
                                .OPT_NeedCursor = false, .OPT_PlaySound = false};
    AtNewYear services;
    std::wstring save_file_name;
    std::unique_ptr<TPngImage> png;
    std::unique_ptr<TJPEGImage> jpeg;
    for (const wchar_t* name : {L"\\112017_0000", L"\\112017_0000_2"}) {
        OutputCapture(capture, options, services, {save_file_name, png, jpeg});
        EXPECT_EQ(save_file_name, tree + name);
        EXPECT_EQ(decodePng(test::readFile(tree + name + L".png")).width, 5);
    }
}

TEST(DesktopOutput, TheClipboardGetsACopyOfTheCapture) {
    const unique_hwnd owner = HiddenOwner();
    ASSERT_TRUE(owner);
    Bitmap capture;
    capture.setSize(6, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) SetPixelV(capture.canvas(), x, y, RGB(40 * x, 60 * y, 90));
    e2e::EmptyTheClipboard();

    DesktopOutput(owner.get()).PutOnClipboard(capture);
    const e2e::Picture held = e2e::ClipboardPicture();
    ASSERT_EQ(held.width, 6);
    ASSERT_EQ(held.height, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(held.at({x, y}), RGB(40 * x, 60 * y, 90)) << x << "," << y;
    ASSERT_TRUE(OpenClipboard(owner.get()));
    EXPECT_NE(GetClipboardData(CF_BITMAP), capture.handle()) << "the capture stays the program's";
    CloseClipboard();
    e2e::EmptyTheClipboard();
}

// Another program holding the clipboard open for a moment, as clipboard history and
// clipboard managers do, gets it back before the capture is put there; one holding it
// longer keeps it and what it holds. While the clipboard is asked for, the owner's
// window goes on answering: the holder sends to it all along.
TEST(DesktopOutput, AClipboardHeldOpenByAnotherIsAskedForAgainForAboutASecond) {
    using namespace std::chrono_literals;
    const unique_hwnd owner = HiddenOwner();
    ASSERT_TRUE(owner);
    Bitmap capture;
    capture.setSize(6, 4);
    const struct {
        const char* name;
        e2e::Duration hold;
        bool lands;
    } cases[] = {
        {"held 300 ms", 300ms, true},
        {"held 3 s", 3s, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        e2e::PutClipboardText(L"метка");
        std::atomic<e2e::Duration::rep> slowest = 0;
        bool put = false, held_after = false;
        {
            const e2e::ClipboardHolder holder(c.hold, [&] {
                const auto sent = std::chrono::steady_clock::now();
                DWORD_PTR result = 0;
                SendMessageTimeoutW(owner.get(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
                const auto took = std::chrono::duration_cast<e2e::Duration>(std::chrono::steady_clock::now() - sent);
                slowest = std::max(slowest.load(), took.count());
            });
            try {
                DesktopOutput(owner.get()).PutOnClipboard(capture);
                put = true;
            } catch (const Error&) {
            }
            held_after = holder.Holding();
            // Answering the holder's last message while it lets go.
            EXPECT_TRUE(e2e::WaitFor([&] { return !holder.Holding(); }));
        }
        EXPECT_EQ(put, c.lands);
        EXPECT_LT(slowest.load(), 250) << "milliseconds the owner's window took to answer while the clipboard was held";
        EXPECT_EQ(e2e::ClipboardBitmapSize().has_value(), c.lands);
        if (!c.lands) {
            EXPECT_TRUE(held_after) << "given up only once the other had let go";
            EXPECT_EQ(e2e::ClipboardText(), L"метка");
        }
    }
    e2e::EmptyTheClipboard();
}

TEST(DesktopOutput, ACaptureThatCannotBeCopiedLeavesTheClipboardAsItWas) {
    const unique_hwnd owner = HiddenOwner();
    ASSERT_TRUE(owner);
    e2e::PutClipboardText(L"метка");
    EXPECT_THROW(DesktopOutput(owner.get()).PutOnClipboard(Bitmap()), Error) << "no bitmap to copy";
    EXPECT_EQ(e2e::ClipboardText(), L"метка");
}

TEST(DesktopOutput, TheFolderMessageIsAnInformationBoxOverTheHiddenMainWindow) {
    const unique_hwnd owner = HiddenOwner();
    ASSERT_TRUE(owner);
    test::ErrorBoxWatch watch(ProgramName);
    DesktopOutput(owner.get()).ShowFolderMessage();  // returns once the watch has closed it
    EXPECT_NE(watch.Texts().find(L"Не удалось создать путь для сохранения. Измените настройки.\n"), std::wstring::npos)
        << watch.Texts();
    EXPECT_EQ(watch.Owner(), owner.get());
    EXPECT_EQ(watch.Buttons(), 1) << "OK alone";
    EXPECT_EQ(watch.Icon(), LoadIconW(nullptr, IDI_INFORMATION));
}

}  // namespace
}  // namespace kadrix
