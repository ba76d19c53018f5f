#pragma once
// Screen-like test pictures drawn in code, so the repository holds no large images.
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/ImageView.h"

namespace kadrix::bench {

enum class Scene {
    Desktop,  // wallpaper gradient, overlapping windows with title bars, lines of text, a taskbar
    Photo,    // a photograph as wallpaper: smooth shapes, shading and sensor noise
    Flat,     // one colour with a taskbar and a few icons
};

struct Picture {
    std::string name;
    std::vector<std::uint8_t> memory;  // 24-bit bottom-up DIB, as the desktop grabber makes it
    ImageView view;
};

Picture drawScene(Scene scene, int width, int height);

}  // namespace kadrix::bench
