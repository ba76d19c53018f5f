// The user's window keeps the keyboard: a command chosen from the tray acts on the window
// that was in front before the menu and gives it the foreground back, and a capture by
// the hotkey shows the main window again without taking the keyboard from the user.
#include <gtest/gtest.h>

#include "Harness.h"

#include "app/Commands.h"

namespace e2e {
namespace {

constexpr RECT kUserArea{150, 100, 550, 400};  // 400 x 300
COLORREF UserColour(POINT) { return RGB(30, 160, 90); }

class Focus : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WaitFor([&] { return user.Shown(); }));
        ASSERT_NE(user_window, nullptr);
    }

    // The user's window in front, as when the user has just clicked it.
    bool BringUserWindowToFront() {
        return ClickUntil(Centre(kUserArea), 0, [&] { return GetForegroundWindow() == user_window; });
    }

    // Chooses a tray menu item by keys: `downs` presses of Down, then Enter.
    void ChooseFromTray(int downs) {
        ASSERT_TRUE(OpenTrayMenu());
        for (int step = 0; step < downs; ++step) PressKeys({VK_DOWN});
        PressKeys({VK_RETURN});
    }

    std::filesystem::path folder = FreshFolder(L"focus");
    bool options_stored = (ResetStoredOptions({.img_format = 0, .need_save = 1, .save_path = folder.wstring(),
                                               .need_cursor = 0, .play_sound = 0}),
                           true);
    KnownPicture user{kUserArea, &UserColour};
    HWND user_window = WaitFor([] { return FindWindowW(L"E2EKnownPicture", nullptr) != nullptr; })
                           ? FindWindowW(L"E2EKnownPicture", nullptr)
                           : nullptr;
};

TEST_F(Focus, TrayWindowCaptureTakesTheWindowInFrontAndGivesItBack) {
    Program program = Program::Start();
    RunCommand(program, kadrix::cmdShowHide);
    ASSERT_TRUE(WaitFor([&] { return !IsShown(program.MainWindow()); }));
    ASSERT_TRUE(BringUserWindowToFront());

    ChooseFromTray(2);  // «Сделать снимок активного окна»
    const auto files = WaitForFiles(folder, 1);
    ASSERT_EQ(files.size(), 1u);
    const Picture picture = ReadBmpFile(files[0]);
    EXPECT_EQ(picture.width, 400);
    EXPECT_EQ(picture.height, 300);
    if (picture.width == 400 && picture.height == 300) {
        for (const POINT at : {POINT{0, 0}, POINT{399, 299}, POINT{200, 150}})
            EXPECT_EQ(picture.at(at), UserColour(at)) << at.x << "," << at.y;
    }
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == user_window; }))
        << "the hidden program kept the foreground";

    // A menu closed without a choice gives it back too. Two right clicks within the
    // double-click time would show the window instead.
    Sleep(GetDoubleClickTime());
    const HWND menu = OpenTrayMenu();
    ASSERT_TRUE(menu);
    PressKeys({VK_ESCAPE});
    ASSERT_TRUE(WaitFor([] { return !PopupMenuOpen(); }));
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == user_window; }))
        << "a menu closed without a choice kept the foreground";
    EXPECT_FALSE(IsShown(program.MainWindow()));
}

TEST_F(Focus, HotkeyCaptureShowsTheWindowAgainActiveOnlyIfItWas) {
    for (const bool program_in_front : {false, true}) {
        SCOPED_TRACE(program_in_front ? "the program in front" : "the user's window in front");
        Program program = Program::Start();
        const HWND main = program.MainWindow();
        const std::size_t before = FilesIn(folder).size();
        // The program activates its window as it starts, and under Wine that may come late.
        ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == main; }));
        if (!program_in_front) {
            ASSERT_TRUE(BringUserWindowToFront());
        }
        ASSERT_TRUE(PressHotkeyUntil(0, [&] { return FilesIn(folder).size() > before; }));
        ASSERT_TRUE(WaitFor([&] { return IsShown(main); })) << "the window came back";
        // Answered once the hotkey's handler, which shows the window last, has returned.
        DWORD_PTR answer = 0;
        ASSERT_TRUE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer));
        EXPECT_EQ(GetForegroundWindow(), program_in_front ? main : user_window);
    }
}

}  // namespace
}  // namespace e2e
