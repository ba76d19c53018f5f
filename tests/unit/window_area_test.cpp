// The rectangle a window capture copies, for the answers Windows 10 and 11, older
// Windows and Wine give about a window.
#include <gtest/gtest.h>

#include "capture/WindowArea.h"

namespace kadrix {
namespace {

constexpr Rect kScreen{0, 0, 1920, 1080};
constexpr Rect kWorkArea{0, 0, 1920, 1040};  // taskbar at the bottom
// The frame of a resizable window and its rectangle, which holds invisible resize
// borders of `border` pixels on the left, right and bottom.
constexpr Rect kFrame{300, 200, 1100, 800};
constexpr Rect Bordered(Rect frame, int border) {
    return {frame.left - border, frame.top, frame.right + border, frame.bottom + border};
}
constexpr Rect Inflated(Rect r, int by) { return {r.left - by, r.top - by, r.right + by, r.bottom + by}; }

TEST(WindowArea, CopiesTheVisibleFrameOnlyOfWhatTheScreenShows) {
    // A 1024 x 768 monitor left of the primary, its taskbar at its bottom.
    constexpr Rect kLeftWork{-1024, 0, 0, 728};
    constexpr Rect kTwoScreens{-1024, 0, 1920, 1080};
    const struct {
        const char* name;
        WindowFacts facts;
        std::optional<Rect> copied;
    } cases[] = {
        {"frame at 100 %", {.window = Bordered(kFrame, 7), .frame = kFrame, .work_area = kWorkArea,
                            .virtual_screen = kScreen}, kFrame},
        {"frame at 150 %", {.window = Bordered(kFrame, 11), .frame = kFrame, .work_area = kWorkArea,
                            .virtual_screen = kScreen}, kFrame},
        {"no frame told (no composition, Wine)", {.window = kFrame, .work_area = kWorkArea, .virtual_screen = kScreen},
         kFrame},
        {"an empty frame told", {.window = kFrame, .frame = Rect{}, .work_area = kWorkArea, .virtual_screen = kScreen},
         kFrame},
        {"over the taskbar, not maximized", {.window = {100, 900, 600, 1080}, .work_area = kWorkArea,
                                             .virtual_screen = kScreen}, Rect{100, 900, 600, 1080}},
        {"maximized, frame at 100 %", {.window = Inflated(kWorkArea, 8), .frame = kWorkArea, .maximized = true,
                                       .work_area = kWorkArea, .virtual_screen = kScreen}, kWorkArea},
        {"maximized, frame at 150 %", {.window = Inflated(kWorkArea, 12), .frame = kWorkArea, .maximized = true,
                                       .work_area = kWorkArea, .virtual_screen = kScreen}, kWorkArea},
        {"maximized, no frame told", {.window = Inflated(kWorkArea, 4), .maximized = true, .work_area = kWorkArea,
                                      .virtual_screen = kScreen}, kWorkArea},
        {"maximized on the left monitor, no frame told",
         {.window = Inflated(kLeftWork, 8), .maximized = true, .work_area = kLeftWork, .virtual_screen = kTwoScreens},
         kLeftWork},
        {"across both monitors", {.window = Bordered({-300, 100, 300, 500}, 7), .frame = Rect{-300, 100, 300, 500},
                                  .work_area = kLeftWork, .virtual_screen = kTwoScreens}, Rect{-300, 100, 300, 500}},
        {"partly past the left and top edges", {.window = Bordered({-200, -50, 400, 300}, 7),
                                                .frame = Rect{-200, -50, 400, 300}, .work_area = kWorkArea,
                                                .virtual_screen = kScreen}, Rect{0, 0, 400, 300}},
        {"wholly beside the screen", {.window = {2000, 100, 2400, 400}, .frame = Rect{2000, 100, 2400, 400},
                                      .work_area = kWorkArea, .virtual_screen = kScreen}, std::nullopt},
        {"minimized", {.window = {-32000, -32000, -31840, -31972}, .minimized = true, .work_area = kWorkArea,
                       .virtual_screen = kScreen}, std::nullopt},
        {"minimized, frame told", {.window = Bordered(kFrame, 7), .frame = kFrame, .minimized = true,
                                   .work_area = kWorkArea, .virtual_screen = kScreen}, std::nullopt},
        {"cloaked on another virtual desktop", {.window = Bordered(kFrame, 7), .frame = kFrame, .cloaked = true,
                                                .work_area = kWorkArea, .virtual_screen = kScreen}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CapturedWindowArea(c.facts), c.copied);
    }
}

}  // namespace
}  // namespace kadrix
