// Captures never hold a pixel of the program itself: not its main window, not its
// button's hint, not the region overlay's veil, outline or handles. The window beneath
// is another program's, repaints slowly, as many programs do, and shows a pattern in no
// colour the program draws, so every captured pixel over it must be the pattern's.
// Registered a second time with one core kept busy, where repaints come later still.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <set>
#include <sstream>

#include "Harness.h"
#include "app/Commands.h"

namespace e2e {
namespace {

constexpr Duration kSlowPaint = 50ms;
constexpr const wchar_t* kOverlayClass = L"TFormScreenRect";
constexpr const wchar_t* kHintClass = L"tooltips_class32";

RECT WholeScreen() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

// Wine's taskbar, which comes up above everything once the program has a window or an
// icon; it is not the program's.
RECT Taskbar() {
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    return taskbar && IsShown(taskbar) ? WindowRectOnScreen(taskbar) : RECT{};
}

class OwnPixels : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(beneath_shown); }

    // The next capture's pixels, once it is written.
    Picture NextCapture() {
        const auto files = WaitForFiles(folder, seen.size() + 1);
        for (const auto& file : files)
            if (seen.insert(file).second) return ReadBmpFile(file);
        return {};
    }

    // Pixels of `capture`, which shows the screen from `origin`, that are not the pattern
    // beneath; described for the failure message, empty when there are none.
    std::string Foreign(const Picture& capture, POINT origin) const {
        if (capture.pixels.empty()) return "no readable capture";
        const RECT taskbar = Taskbar();
        int wrong = 0;
        std::ostringstream first;
        for (int y = 0; y < capture.height; ++y)
            for (int x = 0; x < capture.width; ++x) {
                const POINT screen{origin.x + x, origin.y + y};
                if (PtInRect(&taskbar, screen) || capture.at({x, y}) == PatternColour(screen)) continue;
                if (wrong++ == 0)
                    first << " first at " << screen.x << "," << screen.y << ": #" << std::hex
                          << capture.at({x, y}) << std::dec;
            }
        return wrong ? std::to_string(wrong) + " foreign pixels," + first.str() : "";
    }

    // Runs `rounds` captures and reports those that held foreign pixels: one in several
    // does today, so many rounds, as many as each kind's time allows.
    void ExpectNoneForeign(const char* what, int rounds, const std::function<std::string(int round)>& capture_round) {
        std::vector<std::string> bad;
        for (int round = 0; round < rounds; ++round) {
            const std::string foreign = capture_round(round);
            if (HasFailure()) return;  // a round that went wrong otherwise spoils the rest
            if (!foreign.empty()) bad.push_back("round " + std::to_string(round) + ": " + foreign);
        }
        std::cout << what << ": " << bad.size() << " of " << rounds << " captures hold the program's pixels\n";
        for (const auto& line : bad) ADD_FAILURE() << what << ", " << line;
    }

    bool MainWindowBack() const { return IsShown(program.MainWindow()); }

    std::filesystem::path folder = FreshFolder(L"own-pixels");
    bool options_stored = (ResetStoredOptions({.img_format = 0, .need_save = 1, .save_path = folder.wstring(),
                                               .need_cursor = 0, .play_sound = 0}),
                           true);
    std::set<std::filesystem::path> seen;
    PatternInOtherProcess beneath{WholeScreen(), kSlowPaint};
    // Waited for before the program starts above it and hides its middle.
    bool beneath_shown = WaitFor([&] { return beneath.Shown(); });
    Program program = Program::Start();
};

TEST_F(OwnPixels, DesktopByTheButtonWithItsHintShowing) {
    const RECT button = WindowRectOnScreen(program.Control(kadrix::cmdScreen));
    const POINT on = Centre(button);
    const POINT off{button.left + 50, button.top - 15};  // the window's bare background
    ExpectNoneForeign("desktop by the button", 10, [&](int) -> std::string {
        // The hint shows again only after the pointer has left the button.
        EXPECT_TRUE(PlacePointer(off));
        EXPECT_TRUE(PlacePointer(on));
        EXPECT_TRUE(WaitFor([&] { return !program.VisibleWindows(kHintClass).empty(); }, 5s)) << "no hint";
        EXPECT_TRUE(ClickUntil(on, 0, [&] { return FilesIn(folder).size() > seen.size(); }));
        const std::string foreign = Foreign(NextCapture(), {0, 0});
        EXPECT_TRUE(WaitFor([&] { return MainWindowBack(); }));
        return foreign;
    });
}

TEST_F(OwnPixels, DesktopByTheHotkeyWithTheWindowShown) {
    ExpectNoneForeign("desktop by the hotkey", 30, [&](int) -> std::string {
        EXPECT_TRUE(PressHotkeyUntil(0, [&] { return FilesIn(folder).size() > seen.size(); }));
        const std::string foreign = Foreign(NextCapture(), {0, 0});
        EXPECT_TRUE(WaitFor([&] { return MainWindowBack(); }));
        return foreign;
    });
}

TEST_F(OwnPixels, RegionByTheHotkeyAndADrag) {
    const RECT main = WindowRectOnScreen(program.MainWindow());
    // Where the main window was, a corner of the screen, and across its middle.
    const RECT areas[] = {{main.left - 30, main.top - 20, main.right + 30, main.bottom + 20},
                          {10, 10, 300, 200},
                          {400, 150, 1000, 600}};
    ExpectNoneForeign("region", 20, [&](int round) -> std::string {
        const RECT area = areas[round % std::size(areas)];
        const auto overlay_ready = [&] {
            const auto overlays = program.VisibleWindows(kOverlayClass);
            return overlays.size() == 1 && GetForegroundWindow() == overlays.front();
        };
        EXPECT_TRUE(PressHotkeyUntil(2, overlay_ready));
        Drag({area.left, area.top}, {area.right, area.bottom});
        EXPECT_TRUE(WaitFor([&] { return FilesIn(folder).size() > seen.size(); })) << "the drag wrote no file";
        const Picture capture = NextCapture();
        EXPECT_EQ(capture.width, area.right - area.left);
        EXPECT_EQ(capture.height, area.bottom - area.top);
        const std::string foreign = Foreign(capture, {area.left, area.top});
        EXPECT_TRUE(WaitFor([&] { return program.VisibleWindows(kOverlayClass).empty() && MainWindowBack(); }));
        return foreign;
    });
}

}  // namespace
}  // namespace e2e
