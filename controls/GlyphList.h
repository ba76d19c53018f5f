#pragma once
// The nine 24 x 24 glyphs that buttons and menu items show, in list order.
#include <windows.h>

#include <vector>

#include "imaging/PngReader.h"

namespace kadrix {

class GlyphList {
public:
    static constexpr int kSize = 24;
    static constexpr int kCount = 9;

    static GlyphList LoadFromResources(HINSTANCE instance);
    // Draws glyph `index` with its top-left corner at (x, y); -1 draws nothing.
    void Draw(HDC dc, int index, int x, int y) const;

private:
    std::vector<DecodedPicture> glyphs_;
};

}  // namespace kadrix
