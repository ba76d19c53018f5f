// The drawn dialog controls stay legible and tell their states apart: contrast as the
// accessibility guidelines measure it (4.5:1 for text, 3:1 for the parts of a control).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "controls/SkinPalette.h"

namespace kadrix {
namespace {

double Linear(unsigned channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(SkinColour colour) {
    return 0.2126 * Linear(colour & 0xFF) + 0.7152 * Linear(colour >> 8 & 0xFF) + 0.0722 * Linear(colour >> 16 & 0xFF);
}

double Contrast(SkinColour a, SkinColour b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(SkinPalette, ContrastMeasureMatchesKnownPairs) {
    EXPECT_NEAR(Contrast(SkinRgb(0, 0, 0), SkinRgb(255, 255, 255)), 21.0, 0.01);
    EXPECT_NEAR(Contrast(SkinRgb(118, 118, 118), SkinRgb(255, 255, 255)), 4.54, 0.01);
}

// Pointer and press states of an enabled control, with and without the tick.
const SkinControlState kEnabledStates[] = {
    {}, {.hot = true}, {.pressed = true}, {.hot = true, .pressed = true},
    {.checked = true}, {.hot = true, .checked = true}, {.pressed = true, .checked = true},
};

TEST(SkinPalette, PushButtonCaptionsAndFocusRingStandOutOnEveryEnabledFace) {
    for (const SkinControlState& state : kEnabledStates) {
        const PushButtonColours colours = PushButtonColoursFor(state);
        EXPECT_GE(Contrast(colours.text, colours.face), 4.5) << state.hot << state.pressed;
        EXPECT_GE(Contrast(kSkinFocusOnBlue, colours.face), 3.0) << state.hot << state.pressed;
    }
}

TEST(SkinPalette, PushButtonStatesLookDifferent) {
    const std::set<SkinColour> faces = {
        PushButtonColoursFor({}).face, PushButtonColoursFor({.hot = true}).face,
        PushButtonColoursFor({.pressed = true}).face, PushButtonColoursFor({.disabled = true}).face};
    EXPECT_EQ(faces.size(), 4u);
    EXPECT_GE(Contrast(PushButtonColoursFor({.disabled = true}).text, kSkinDisabledFace), 3.0) << "still readable";
}

TEST(SkinPalette, CheckBoxesShowOnTheDialogAndTheirTickShowsInTheBox) {
    for (const SkinControlState& state : kEnabledStates) {
        const CheckBoxColours colours = CheckBoxColoursFor(state);
        EXPECT_GE(Contrast(colours.edge, kSkinLightBackground), 3.0) << state.hot << state.pressed << state.checked;
        EXPECT_GE(Contrast(colours.text, kSkinLightBackground), 4.5) << state.hot << state.pressed << state.checked;
        if (state.checked) {
            EXPECT_GE(Contrast(colours.tick, colours.box), 3.0) << state.hot << state.pressed;
        }
        SkinControlState other = state;
        other.checked = !state.checked;
        EXPECT_GE(Contrast(colours.box, CheckBoxColoursFor(other).box), 3.0) << "ticked and unticked boxes differ";
    }
    const CheckBoxColours disabled = CheckBoxColoursFor({.disabled = true, .checked = true});
    EXPECT_NE(disabled.tick, disabled.box) << "a disabled box still shows its tick";
}

TEST(SkinPalette, FieldFramesShowOnTheDialog) {
    EXPECT_GE(Contrast(kSkinFieldEdge, kSkinLightBackground), 3.0);
}

}  // namespace
}  // namespace kadrix
