#pragma once
// The program's colours and which of them a drawn dialog control shows in each state.
// Windows-free: colours are in COLORREF layout (0x00BBGGRR), so the palette's
// legibility can be checked natively.
#include <cstdint>

namespace kadrix {

using SkinColour = std::uint32_t;

constexpr SkinColour SkinRgb(unsigned red, unsigned green, unsigned blue) { return red | green << 8 | blue << 16; }

// The main window's sky (the background art runs from 0A77AB to 005E8A): the face of
// dialog buttons, lighter under the pointer, darker while pressed.
inline constexpr SkinColour kSkinBlue = SkinRgb(0, 106, 156);
inline constexpr SkinColour kSkinBlueHot = SkinRgb(10, 119, 171);
inline constexpr SkinColour kSkinBluePressed = SkinRgb(0, 78, 115);
inline constexpr SkinColour kSkinWhite = SkinRgb(255, 255, 255);
// The light surfaces (popup menu, settings dialog) and the dark text on them.
inline constexpr SkinColour kSkinLightBackground = SkinRgb(250, 251, 253);
inline constexpr SkinColour kSkinText = SkinRgb(20, 40, 60);
// Keyboard focus on blue faces, as on the main window's glyph buttons.
inline constexpr SkinColour kSkinFocusOnBlue = SkinRgb(255, 200, 80);
// Frames of input fields.
inline constexpr SkinColour kSkinFieldEdge = SkinRgb(115, 143, 170);

inline constexpr SkinColour kSkinDisabledFace = SkinRgb(216, 221, 226);
inline constexpr SkinColour kSkinDisabledEdge = SkinRgb(176, 185, 194);
inline constexpr SkinColour kSkinDisabledText = SkinRgb(110, 120, 130);

struct SkinControlState {
    bool hot = false;  // under the pointer
    bool pressed = false;
    bool focused = false;
    bool disabled = false;
    bool checked = false;
};

struct PushButtonColours {
    SkinColour face, edge, text;
};

constexpr PushButtonColours PushButtonColoursFor(const SkinControlState& state) {
    if (state.disabled) return {kSkinDisabledFace, kSkinDisabledEdge, kSkinDisabledText};
    if (state.pressed) return {kSkinBluePressed, kSkinBluePressed, kSkinWhite};
    if (state.hot) return {kSkinBlueHot, kSkinBlue, kSkinWhite};
    return {kSkinBlue, kSkinBluePressed, kSkinWhite};
}

struct CheckBoxColours {
    SkinColour box, edge, tick, text;
};

constexpr CheckBoxColours CheckBoxColoursFor(const SkinControlState& state) {
    if (state.disabled)
        return {kSkinDisabledFace, kSkinDisabledEdge, state.checked ? kSkinDisabledText : kSkinDisabledFace,
                kSkinDisabledText};
    const SkinColour blue = state.pressed ? kSkinBluePressed : state.hot ? kSkinBlueHot : kSkinBlue;
    if (state.checked) return {blue, blue, kSkinWhite, kSkinText};
    const SkinColour tint = state.pressed ? SkinRgb(204, 226, 240) : state.hot ? SkinRgb(229, 241, 249) : kSkinWhite;
    return {tint, blue, tint, kSkinText};
}

}  // namespace kadrix
