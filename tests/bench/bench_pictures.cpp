#include "bench_pictures.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace kadrix::bench {

namespace {

struct Canvas {
    int width, height;
    std::size_t stride;
    std::vector<std::uint8_t>& memory;

    void put(int x, int y, int r, int g, int b) {
        if (x < 0 || y < 0 || x >= width || y >= height) return;
        std::uint8_t* p = memory.data() + (height - 1 - y) * stride + x * 3;
        p[0] = static_cast<std::uint8_t>(std::clamp(b, 0, 255));
        p[1] = static_cast<std::uint8_t>(std::clamp(g, 0, 255));
        p[2] = static_cast<std::uint8_t>(std::clamp(r, 0, 255));
    }
    void fill(int x0, int y0, int w, int h, int r, int g, int b) {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) put(x, y, r, g, b);
    }
};

// Text as 5 x 7 glyphs from a seeded pattern: dense like real screen text, with anti-aliased edges.
void drawText(Canvas& canvas, std::mt19937& random, int x0, int y0, int w, int h, int ink) {
    for (int line = y0; line + 12 < y0 + h; line += 16) {
        int x = x0;
        const int lineEnd = x0 + static_cast<int>(w * (0.5 + (random() % 50) / 100.0));
        while (x + 6 < lineEnd) {
            if (random() % 6 == 0) {
                x += 4;  // a space
                continue;
            }
            const unsigned glyph = random();
            for (int gy = 0; gy < 7; ++gy)
                for (int gx = 0; gx < 5; ++gx)
                    if (glyph >> ((gy * 5 + gx) % 31) & 1) {
                        canvas.put(x + gx, line + gy, ink, ink, ink);
                        canvas.put(x + gx + 1, line + gy, (ink + 255) / 2, (ink + 255) / 2, (ink + 255) / 2);
                    }
            x += 7;
        }
    }
}

void drawDesktop(Canvas& canvas, std::mt19937& random) {
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x)
            canvas.put(x, y, 20 + 40 * y / canvas.height, 80 + 60 * x / canvas.width, 160 - 40 * y / canvas.height);
    const int windows = 3 + canvas.width / 600;
    for (int i = 0; i < windows; ++i) {
        const int w = canvas.width / 3 + static_cast<int>(random() % (canvas.width / 3));
        const int h = canvas.height / 3 + static_cast<int>(random() % (canvas.height / 3));
        const int x = static_cast<int>(random() % (canvas.width - w)), y = static_cast<int>(random() % (canvas.height - h - 40));
        canvas.fill(x - 1, y - 1, w + 2, h + 2, 90, 90, 90);
        for (int ty = 0; ty < 24; ++ty) canvas.fill(x, y + ty, w, 1, 30 + ty * 2, 80 + ty * 3, 170 + ty);
        drawText(canvas, random, x + 8, y + 6, w / 3, 14, 255);
        canvas.fill(x, y + 24, w, h - 24, 250, 250, 250);
        canvas.fill(x, y + 24, 160, h - 24, 235, 238, 242);  // a side panel
        drawText(canvas, random, x + 8, y + 32, 140, h - 40, 60);
        drawText(canvas, random, x + 172, y + 32, w - 180, h - 40, 20);
    }
    canvas.fill(0, canvas.height - 40, canvas.width, 40, 32, 36, 44);
    for (int x = 8; x < canvas.width / 2; x += 48) canvas.fill(x, canvas.height - 34, 28, 28, 60 + x % 150, 120, 200 - x % 120);
}

void drawPhoto(Canvas& canvas, std::mt19937& random) {
    std::normal_distribution<double> grain(0, 3.5);
    const double sx = 6.0 / canvas.width, sy = 6.0 / canvas.height;
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const double u = x * sx, v = y * sy;
            const double hills = std::sin(u * 1.3 + std::sin(v * 0.7) * 2) * 0.5 + std::cos(v * 1.7 + u * 0.4) * 0.5;
            const double sky = 1.0 - static_cast<double>(y) / canvas.height;
            const double leaves = std::sin(u * 23 + std::cos(v * 19) * 3) * std::sin(v * 29 + u * 5);
            const int r = static_cast<int>(90 + 80 * hills + 40 * sky + 20 * leaves + grain(random));
            const int g = static_cast<int>(110 + 60 * hills + 50 * sky + 25 * leaves + grain(random));
            const int b = static_cast<int>(70 + 30 * hills + 120 * sky + 10 * leaves + grain(random));
            canvas.put(x, y, r, g, b);
        }
    canvas.fill(0, canvas.height - 40, canvas.width, 40, 32, 36, 44);
}

void drawFlat(Canvas& canvas, std::mt19937& random) {
    canvas.fill(0, 0, canvas.width, canvas.height, 0, 99, 177);
    for (int i = 0; i < 6; ++i) canvas.fill(24, 24 + i * 96, 48, 48, 200 + i * 9, 180, 60 + i * 20);
    canvas.fill(0, canvas.height - 40, canvas.width, 40, 32, 36, 44);
    drawText(canvas, random, canvas.width - 90, canvas.height - 30, 80, 14, 230);
}

}  // namespace

Picture drawScene(Scene scene, int width, int height) {
    static const char* const names[] = {"desktop", "photo", "flat"};
    Picture picture;
    picture.name = std::string(names[static_cast<int>(scene)]) + "_" + std::to_string(width) + "x" + std::to_string(height);
    const std::size_t stride = dibStride(width, 24);
    picture.memory.assign(stride * height, 0);
    Canvas canvas{width, height, stride, picture.memory};
    std::mt19937 random(static_cast<unsigned>(width * 7 + height));
    switch (scene) {
    case Scene::Desktop: drawDesktop(canvas, random); break;
    case Scene::Photo: drawPhoto(canvas, random); break;
    case Scene::Flat: drawFlat(canvas, random); break;
    }
    picture.view = bottomUpView(picture.memory.data(), width, height, 24);
    return picture;
}

}  // namespace kadrix::bench
