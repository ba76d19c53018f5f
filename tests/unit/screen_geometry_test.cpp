// The overlay's place over every monitor layout and the screen rectangle a drag on it
// copies, in real pixels whatever each monitor's scale.
#include <gtest/gtest.h>

#include <vector>

#include "region/ScreenGeometry.h"

namespace kadrix {
namespace {

struct Layout {
    const char* name;
    std::vector<Rect> monitors;  // primary first, at the origin
    Rect virtual_screen;
};

const Layout kLayouts[] = {
    {"one monitor", {{0, 0, 1366, 768}}, {0, 0, 1366, 768}},
    {"second monitor left", {{0, 0, 800, 600}, {-1024, 0, 0, 768}}, {-1024, 0, 800, 768}},
    {"second monitor above", {{0, 0, 1920, 1080}, {0, -1200, 1920, -120}}, {0, -1200, 1920, 1080}},
    {"second monitor right and lower", {{0, 0, 1024, 768}, {1024, 200, 1824, 800}}, {0, 0, 1824, 800}},
    // A 4K laptop panel at 150 % with a 100 % monitor on its left: real pixels, no scale.
    {"mixed scale", {{0, 0, 3840, 2160}, {-1920, 500, 0, 1580}}, {-1920, 0, 3840, 2160}},
    {"three around", {{0, 0, 1280, 1024}, {-1280, -200, 0, 824}, {1280, -1080, 3200, 0}}, {-1280, -1080, 3200, 1024}},
};

TEST(ScreenGeometry, VirtualScreenHoldsEveryMonitor) {
    for (const Layout& layout : kLayouts) {
        SCOPED_TRACE(layout.name);
        const Rect all = VirtualScreen(layout.monitors);
        EXPECT_EQ(all, layout.virtual_screen);
        for (const Rect& monitor : layout.monitors) EXPECT_EQ(Union(all, monitor), all);
    }
}

TEST(ScreenGeometry, DragCopiesItsScreenRectangleOnEveryLayout) {
    const Rect overlay = VirtualScreen(kLayouts[1].monitors);  // (-1024, 0) 1824 x 768
    const struct {
        const char* name;
        Point press, release;  // client coordinates of the overlay
        Rect copied;           // screen coordinates
    } drags[] = {
        {"on the left monitor", {100, 50}, {300, 200}, {-924, 50, -724, 200}},
        {"on the primary, up and left", {1324, 300}, {1124, 100}, {100, 100, 300, 300}},
        {"across the boundary", {924, 10}, {1124, 110}, {-100, 10, 100, 110}},
        {"past the right edge", {1700, 700}, {1900, 800}, {676, 700, 800, 768}},
        {"past the left edge", {-40, 5}, {20, 25}, {-1024, 5, -1004, 25}},
        {"a click", {500, 500}, {500, 500}, {-524, 500, -524, 500}},
    };
    for (const auto& drag : drags) {
        SCOPED_TRACE(drag.name);
        EXPECT_EQ(CopiedRect(overlay, drag.press, drag.release), drag.copied);
    }
}

TEST(ScreenGeometry, OverlayAtTheOriginCopiesClientCoordinatesUnchanged) {
    for (const Layout& layout : kLayouts) {
        const Rect overlay = VirtualScreen(layout.monitors);
        if (overlay.left != 0 || overlay.top != 0) continue;
        SCOPED_TRACE(layout.name);
        EXPECT_EQ(CopiedRect(overlay, {300, 200}, {100, 50}), (Rect{100, 50, 300, 200}));
    }
}

TEST(ScreenGeometry, DragOutsideTheOverlayCopiesNothing) {
    const Rect overlay{-1024, 0, 800, 768};
    EXPECT_TRUE(CopiedRect(overlay, {1900, 10}, {2000, 50}).empty());
    EXPECT_TRUE(CopiedRect(overlay, {10, -90}, {50, -10}).empty());
}

}  // namespace
}  // namespace kadrix
