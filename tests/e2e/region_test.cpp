// The region command and its overlay, driven as a user would: hotkey, button, drags
// with each mouse button, Esc, nested overlays, and the files they leave.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "Harness.h"
#include "app/Commands.h"

namespace e2e {
namespace {

constexpr const wchar_t* kOverlayClass = L"TFormScreenRect";
constexpr COLORREF kRed = RGB(255, 0, 0);

COLORREF Pattern(POINT p) { return PatternColour(p); }

COLORREF Veil() { return GetSysColor(COLOR_BTNFACE); }

class RegionCapture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(WaitFor([&] { return picture.Shown(); })); }

    // Opens an overlay by the hotkey and waits until it covers the screen and has the keyboard.
    HWND OpenOverlay() {
        const auto before = program.VisibleWindows(kOverlayClass);
        PressHotkey(2);
        HWND overlay = nullptr;
        WaitFor([&] {
            for (HWND window : program.VisibleWindows(kOverlayClass))
                if (std::find(before.begin(), before.end(), window) == before.end()) overlay = window;
            return overlay && GetForegroundWindow() == overlay && ScreenPixel({600, 500}) == Veil();
        });
        return overlay;
    }

    bool OverlaysClosed() { return program.VisibleWindows(kOverlayClass).empty(); }

    // The file the last capture wrote, once `count` files are there.
    Picture NewestCapture(std::size_t count) {
        const auto files = WaitForFiles(folder, count);
        if (files.size() != count) return {};
        for (const auto& file : files)
            if (seen.insert(file).second) return ReadBmpFile(file);
        return {};
    }

    static void ExpectPatternOf(const Picture& capture, const RECT& area) {
        ASSERT_EQ(capture.width, area.right - area.left);
        ASSERT_EQ(capture.height, area.bottom - area.top);
        int wrong = 0;
        for (int y = 0; y < capture.height; ++y)
            for (int x = 0; x < capture.width; ++x)
                if (capture.at({x, y}) != Pattern({area.left + x, area.top + y})) ++wrong;
        EXPECT_EQ(wrong, 0) << "pixels that are not the screen's";
    }

    std::filesystem::path folder = FreshFolder(L"region");
    // Stored before the program below starts, since it reads them only then.
    bool options_stored = (ResetStoredOptions({.img_format = 0, .need_save = 1, .save_path = folder.wstring()}), true);
    std::set<std::filesystem::path> seen;
    KnownPicture picture{{0, 0, 420, 320}, &Pattern};
    Program program = Program::Start();
};

TEST_F(RegionCapture, DragShowsHoleOutlineAndHandlesThenWritesTheScreenPixels) {
    ASSERT_TRUE(OpenOverlay());
    EXPECT_FALSE(IsShown(program.MainWindow()));
    PressMouse({100, 50});
    MoveMouse({200, 120});
    // Placed, not just moved: a late echo of an earlier place would draw the selection there.
    ASSERT_TRUE(PlacePointer({300, 200}));
    ASSERT_TRUE(WaitFor([] { return ScreenPixel({300, 200}) == kRed; }));

    const Picture screen = ScreenPicture({0, 0, 700, 400});
    EXPECT_EQ(screen.at({50, 300}), Veil());
    EXPECT_EQ(screen.at({600, 350}), Veil());
    for (POINT inside : {POINT{150, 100}, POINT{250, 170}, POINT{104, 54}, POINT{296, 196}})
        EXPECT_EQ(screen.at(inside), Pattern(inside)) << inside.x << "," << inside.y;

    // Handles: press corner, the 9 x 9 one at the middle of the press column, the middle of the pointer's row.
    const RECT handles[] = {{97, 47, 103, 53}, {97, 119, 106, 128}, {197, 197, 203, 203}, {297, 197, 303, 203}};
    for (const RECT& handle : handles) {
        int red = 0;
        for (int y = handle.top; y < handle.bottom; ++y)
            for (int x = handle.left; x < handle.right; ++x) red += screen.at({x, y}) == kRed;
        EXPECT_EQ(red, (handle.right - handle.left) * (handle.bottom - handle.top)) << handle.left << "," << handle.top;
    }
    EXPECT_NE(screen.at({106, 123}), kRed);  // just right of the 9 x 9 handle, inside the hole
    EXPECT_EQ(screen.at({106, 123}), Pattern({106, 123}));

    // Outline between the handles: red dots with see-through gaps, on the outermost pixels.
    const struct {
        POINT from, step;
        int count;
    } edges[] = {{{110, 50}, {1, 0}, 80}, {{100, 60}, {0, 1}, 50}, {{299, 60}, {0, 1}, 50}, {{210, 199}, {1, 0}, 80}};
    for (const auto& edge : edges) {
        int dots = 0, gaps = 0;
        for (int i = 0; i < edge.count; ++i) {
            const POINT p{edge.from.x + i * edge.step.x, edge.from.y + i * edge.step.y};
            dots += screen.at(p) == kRed;
            gaps += screen.at(p) == Pattern(p);
        }
        EXPECT_EQ(dots + gaps, edge.count) << "outline from " << edge.from.x << "," << edge.from.y;
        EXPECT_GT(dots, edge.count / 4) << edge.from.x << "," << edge.from.y;
        EXPECT_GT(gaps, edge.count / 4) << edge.from.x << "," << edge.from.y;
    }
    EXPECT_EQ(screen.at({100, 45}), Veil());  // nothing above the handles

    ReleaseMouse({300, 200});
    ASSERT_TRUE(WaitFor([&] { return OverlaysClosed() && IsShown(program.MainWindow()); }));
    ExpectPatternOf(NewestCapture(1), {100, 50, 300, 200});
}

TEST_F(RegionCapture, AnyButtonAndAnyDirectionCaptureTheOrderedRectangle) {
    const struct {
        int button;
        POINT from, to;
        RECT area;
    } drags[] = {
        {1, {300, 200}, {100, 50}, {100, 50, 300, 200}},  // right button, up and left
        {2, {40, 250}, {160, 30}, {40, 30, 160, 250}},    // middle button, up and right
        {0, {380, 10}, {250, 90}, {250, 10, 380, 90}},    // left button, down and left
    };
    std::size_t written = 0;
    for (const auto& drag : drags) {
        SCOPED_TRACE(drag.button);
        ASSERT_TRUE(OpenOverlay());
        Drag(drag.from, drag.to, drag.button);
        ASSERT_TRUE(WaitFor([&] { return OverlaysClosed() && IsShown(program.MainWindow()); }));
        ExpectPatternOf(NewestCapture(++written), drag.area);
    }

    // A click without a drag selects nothing: the overlay closes and no file is written.
    ASSERT_TRUE(OpenOverlay());
    Click({200, 200});
    ASSERT_TRUE(WaitFor([&] { return OverlaysClosed() && IsShown(program.MainWindow()); }));
    EXPECT_EQ(FilesIn(folder).size(), written);
}

TEST_F(RegionCapture, EscReleasedMidDragCancelsWithoutAFile) {
    ASSERT_TRUE(OpenOverlay());
    PressMouse({100, 50});
    ASSERT_TRUE(PlacePointer({300, 200}));
    ASSERT_TRUE(WaitFor([] { return ScreenPixel({300, 200}) == kRed; }));
    PressKeys({VK_ESCAPE});
    ASSERT_TRUE(WaitFor([&] { return OverlaysClosed() && IsShown(program.MainWindow()); }));
    ReleaseMouse({300, 200});
    EXPECT_TRUE(FilesIn(folder).empty());
    EXPECT_TRUE(program.Running());
}

TEST_F(RegionCapture, ReleaseWhosePressWentElsewhereSelectsNothing) {
    PressMouse({60, 60});  // on the picture, before the overlay exists
    ASSERT_TRUE(OpenOverlay());
    ReleaseMouse({120, 90});
    // The overlay stays open; the next drag is the selection.
    Drag({200, 100}, {260, 140});
    ASSERT_TRUE(WaitFor([&] { return OverlaysClosed(); }));
    ExpectPatternOf(NewestCapture(1), {200, 100, 260, 140});
    EXPECT_EQ(FilesIn(folder).size(), 1u);
}

TEST_F(RegionCapture, NestedOverlaysEachFinishOnTheirOwn) {
    HWND first = OpenOverlay();
    ASSERT_TRUE(first);
    HWND second = OpenOverlay();
    ASSERT_TRUE(second);
    ASSERT_EQ(program.VisibleWindows(kOverlayClass).size(), 2u);

    // The newer overlay is on top and takes the drag; the older one does not push in front of it.
    EXPECT_FALSE(WaitFor([&] { return GetForegroundWindow() != second; }, 300ms));
    Drag({100, 50}, {300, 200});
    ASSERT_TRUE(WaitFor([&] { return program.VisibleWindows(kOverlayClass).size() == 1; }));
    ExpectPatternOf(NewestCapture(1), {100, 50, 300, 200});
    const HWND left = program.VisibleWindows(kOverlayClass).front();
    EXPECT_EQ(left, first);

    // The first one takes the keyboard back by itself and still answers Esc.
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == first; }));
    PressKeys({VK_ESCAPE});
    // The window comes back before the overlay is destroyed, so wait for both.
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(first) && IsShown(program.MainWindow()); }));
    EXPECT_TRUE(OverlaysClosed());
    EXPECT_EQ(FilesIn(folder).size(), 1u);
    EXPECT_TRUE(program.Running());
}

TEST_F(RegionCapture, MainWindowComesBackOnlyWhenItWasShown) {
    // Shown: the region button hides it for the selection and brings it back.
    HWND main = program.MainWindow();
    Click(Centre(WindowRectOnScreen(program.Control(kadrix::cmdRegion))));
    ASSERT_TRUE(WaitFor([&] {
        const auto overlays = program.VisibleWindows(kOverlayClass);
        return !overlays.empty() && GetForegroundWindow() == overlays.front();
    }));
    EXPECT_FALSE(IsShown(main));
    PressKeys({VK_ESCAPE});
    ASSERT_TRUE(WaitFor([&] { return OverlaysClosed() && IsShown(main); }));

    // Hidden to the tray: it stays hidden after a capture and after a cancel.
    ASSERT_TRUE(DoubleClickTrayIcon([&] { return !IsShown(main); }));
    ASSERT_TRUE(OpenOverlay());
    Drag({100, 50}, {300, 200});
    ASSERT_TRUE(WaitFor([&] { return OverlaysClosed(); }));
    ExpectPatternOf(NewestCapture(1), {100, 50, 300, 200});
    // The command shows the window, if at all, before it destroys its overlay.
    HWND overlay = OpenOverlay();
    ASSERT_TRUE(overlay);
    PressKeys({VK_ESCAPE});
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(overlay); }));
    EXPECT_FALSE(IsShown(main));
}

}  // namespace
}  // namespace e2e
