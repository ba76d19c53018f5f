// Geometry of the region selection: corner order, midpoints, the eight handles and
// the area one drag step touches.
#include <gtest/gtest.h>

#include "region/SelectionGeometry.h"

namespace kadrix {
namespace {

TEST(RegionGeometry, OrderedRectPutsCornersInAscendingOrderWhicheverWayTheDragWent) {
    const struct {
        Point press, release;
    } drags[] = {
        {{100, 50}, {300, 200}},  // down and right
        {{300, 200}, {100, 50}},  // up and left
        {{300, 50}, {100, 200}},  // down and left
        {{100, 200}, {300, 50}},  // up and right
    };
    for (const auto& drag : drags) {
        const Rect rect = OrderedRect(drag.press, drag.release);
        EXPECT_EQ(rect, (Rect{100, 50, 300, 200}));
        EXPECT_EQ(rect.width(), 200);
        EXPECT_EQ(rect.height(), 150);
    }
}

TEST(RegionGeometry, AClickWithoutADragIsAnEmptyRect) {
    const Rect rect = OrderedRect({40, 40}, {40, 40});
    EXPECT_TRUE(rect.empty());
    EXPECT_EQ(rect.width(), 0);
    EXPECT_TRUE(OrderedRect({40, 40}, {90, 40}).empty());
    EXPECT_FALSE(OrderedRect({40, 40}, {41, 41}).empty());
}

TEST(RegionGeometry, MidpointTruncatesTowardZero) {
    const struct {
        int a, b, mid;
    } cases[] = {{10, 15, 12}, {10, 21, 15}, {0, 0, 0}, {-3, 0, -1}, {-10, 5, -2}, {5, -10, -2}, {1365, 1366, 1365}};
    for (const auto& c : cases) EXPECT_EQ(Midpoint(c.a, c.b), c.mid) << c.a << ", " << c.b;
}

TEST(RegionGeometry, HandlesInDrawingOrderForPress10_10AndPointer15_21) {
    // midX = 12, midY = 15.
    const std::array<Rect, 8> expected = {
        Rect{7, 7, 13, 13},    // press point
        Rect{12, 18, 18, 24},  // pointer
        Rect{12, 7, 18, 13},   // pointer's column, press row
        Rect{7, 18, 13, 24},   // press column, pointer's row
        Rect{7, 9, 16, 18},    // press column, middle row: columns 7..15, rows 9..17
        Rect{12, 12, 18, 18},  // pointer's column, middle row
        Rect{9, 7, 15, 13},    // middle column, press row
        Rect{9, 18, 15, 24},   // middle column, pointer's row
    };
    const std::array<Rect, 8> handles = HandleRects({10, 10}, {15, 21});
    for (std::size_t i = 0; i < handles.size(); ++i) EXPECT_EQ(handles[i], expected[i]) << "handle " << i + 1;
    for (std::size_t i = 0; i < handles.size(); ++i) {
        const int side = i == 4 ? 9 : 6;
        EXPECT_EQ(handles[i].width(), side) << "handle " << i + 1;
        EXPECT_EQ(handles[i].height(), side) << "handle " << i + 1;
    }
}

TEST(RegionGeometry, HandlesFollowAReversedDrag) {
    // Pointer up and left of the press: the handles sit on the same points, only the roles swap.
    const std::array<Rect, 8> handles = HandleRects({300, 200}, {100, 50});
    EXPECT_EQ(handles[0], (Rect{297, 197, 303, 203}));
    EXPECT_EQ(handles[1], (Rect{97, 47, 103, 53}));
    EXPECT_EQ(handles[4], (Rect{297, 119, 306, 128}));  // midY = 125
    EXPECT_EQ(handles[6], (Rect{197, 197, 203, 203}));  // midX = 200
}

TEST(RegionGeometry, SelectionBoundsHoldTheOutlineAndEveryHandle) {
    const struct {
        Point press, pointer;
        Rect bounds;
    } cases[] = {
        {{100, 50}, {300, 200}, {97, 47, 303, 203}},
        {{300, 200}, {100, 50}, {97, 47, 306, 203}},  // handle 5 reaches 6 right of the press column
        {{40, 40}, {40, 40}, {37, 34, 46, 43}},        // nothing selected yet: only handles
        {{0, 0}, {1, 1}, {-3, -6, 6, 4}},              // handles beyond the screen's corner
    };
    for (const auto& c : cases) {
        const Rect bounds = SelectionBounds(c.press, c.pointer);
        EXPECT_EQ(bounds, c.bounds) << c.press.x << "," << c.press.y << " -> " << c.pointer.x << "," << c.pointer.y;
        for (const Rect& handle : HandleRects(c.press, c.pointer)) EXPECT_EQ(Union(bounds, handle), bounds);
    }
}

TEST(RegionGeometry, UnionIgnoresEmptyRects) {
    EXPECT_EQ(Union({}, {1, 2, 3, 4}), (Rect{1, 2, 3, 4}));
    EXPECT_EQ(Union({1, 2, 3, 4}, {5, 5, 5, 9}), (Rect{1, 2, 3, 4}));
    EXPECT_EQ(Union({0, 0, 2, 2}, {5, 6, 7, 8}), (Rect{0, 0, 7, 8}));
}

}  // namespace
}  // namespace kadrix
