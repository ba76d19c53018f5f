#include "app/DialogPlacement.h"

#include <gtest/gtest.h>

namespace kadrix {
namespace {

struct PlacementCase {
    const char* what;
    Box owner;
    int width, height;
    Position expected;
};

TEST(DialogPlacement, CentresOverOwnerAndStaysInsideWorkArea) {
    const Box work{0, 0, 1366, 738};
    const PlacementCase cases[] = {
        {"centred over a larger owner", {100, 100, 900, 700}, 600, 230, {200, 285}},
        {"centred over a smaller owner, odd difference", {400, 200, 907, 537}, 604, 232, {352, 252}},
        {"owner near the left and top edges", {-300, -100, 200, 200}, 604, 232, {0, 0}},
        {"owner beyond the right and bottom edges", {1200, 650, 1700, 950}, 604, 232, {762, 506}},
        {"dialog larger than the work area keeps its top-left corner visible", {0, 0, 100, 100}, 2000, 1000, {0, 0}},
    };
    for (const PlacementCase& c : cases) {
        EXPECT_EQ(CentredOver(c.owner, c.width, c.height, work), c.expected) << c.what;
    }
}

TEST(DialogPlacement, HonoursAWorkAreaThatDoesNotStartAtTheOrigin) {
    const Box work{-1280, 40, 0, 1024};
    EXPECT_EQ(CentredOver({-1500, 0, -1300, 100}, 600, 230, work), (Position{-1280, 40}));
    EXPECT_EQ(CentredOver({-900, 400, -300, 700}, 600, 230, work), (Position{-900, 435}));
}

}  // namespace
}  // namespace kadrix
