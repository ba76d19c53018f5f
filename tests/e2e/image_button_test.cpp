// The big capture button driven by the real mouse: a left press and release inside
// takes a capture; a press dragged out, and the right button, take none.
#include <gtest/gtest.h>

#include "Harness.h"
#include "app/Commands.h"

namespace e2e {
namespace {

TEST(ImageButtonOnScreen, OnlyALeftClickInsideTakesACapture) {
    const std::filesystem::path folder = FreshFolder(L"image-button");
    ResetStoredOptions({.img_format = 0, .need_save = 1, .save_path = folder.wstring(), .play_sound = 0});
    Program program = Program::Start();
    const RECT area = WindowRectOnScreen(program.Control(kadrix::cmdScreen));
    ASSERT_EQ(area.right - area.left, 277);
    ASSERT_EQ(area.bottom - area.top, 66);
    auto at = [&](int x, int y) { return POINT{area.left + x, area.top + y}; };

    PressMouse(at(100, 30));
    MoveMouse(at(100, -20));
    ReleaseMouse(at(320, 30));
    Click(at(100, 30), 1);
    Click(at(150, 30), 2);
    Click(at(2, 64));  // inside the client area, though outside the hover margins
    ASSERT_EQ(WaitForFiles(folder, 1).size(), 1u);
    // Captures run one after another, so a second file, had the drag or the other
    // buttons clicked, would come within this limit.
    EXPECT_EQ(WaitForFiles(folder, 2, 2s).size(), 1u);
}

}  // namespace
}  // namespace e2e
