#include "controls/GlyphList.h"

#include "controls/PictureDraw.h"
#include "resources/ResourceIds.h"

namespace kadrix {

GlyphList GlyphList::LoadFromResources(HINSTANCE instance) {
    GlyphList list;
    for (int index = 0; index < kCount; ++index) list.glyphs_.push_back(LoadPngResource(instance, IDR_GLYPH_FIRST + index));
    return list;
}

void GlyphList::Draw(HDC dc, int index, int x, int y) const {
    if (index >= 0 && index < static_cast<int>(glyphs_.size())) DrawPicture(dc, x, y, glyphs_[index]);
}

}  // namespace kadrix
