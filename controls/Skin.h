#pragma once
// The program's own look: fonts, translucent glyph buttons over the window pictures,
// link labels, and the light popup menu with glyphs.
#include <windows.h>

#include <functional>
#include <optional>
#include <span>

#include "app/Win32Handles.h"

namespace kadrix {

class GlyphList;

unique_hfont CreateSkinFont(int height, int weight, bool underline);

// A rounded rectangle with its edge drawn inside `area`; no fill leaves the inside as it is.
struct RoundedBox {
    int corner;  // diameter of the corner arcs
    COLORREF edge;
    int edge_width = 1;
    std::optional<COLORREF> fill;
};
void DrawRoundedBox(HDC dc, const RECT& area, const RoundedBox& box);

// Paints a window's background picture from its top-left corner, unscaled.
void PaintBackground(HDC dc, HBITMAP picture);

// Asks the parent to paint what lies under `child` into `dc` (WM_PRINTCLIENT), so
// controls can be drawn see-through over the parent's picture.
void PaintParentBackground(HWND child, HDC dc);

// Draws `area` of `dc` off-screen, then puts it on screen in one step: no flicker.
// `draw` gets the off-screen DC with `area` moved to its origin.
using SkinDrawing = std::function<void(HDC dc, const RECT& area)>;
void DrawOffScreen(HDC dc, const RECT& area, const SkinDrawing& draw);

// Draws a control off-screen over what the parent shows under it: see-through controls.
void DrawOverParent(HWND control, HDC dc, const RECT& area, const SkinDrawing& draw);
inline void DrawOverParent(const DRAWITEMSTRUCT& item, const SkinDrawing& draw) {
    DrawOverParent(item.hwndItem, item.hDC, item.rcItem, draw);
}

// A 2-pixel line with round ends and joins through `points`: ticks and chevrons.
void DrawSkinStroke(HDC dc, std::span<const POINT> points, COLORREF colour);

enum class SkinButtonLayout { GlyphOnly, GlyphAboveCaption };

struct SkinButtonState {
    bool pressed = false;
    bool focused = false;
};

void DrawSkinButton(HDC dc, const RECT& area, SkinButtonLayout layout, const wchar_t* caption, HFONT font,
                    const GlyphList& glyphs, int glyph, SkinButtonState state);
void DrawSkinLink(HDC dc, const RECT& area, const wchar_t* text, HFONT font);

// Popup-menu items drawn by the skin (MFT_OWNERDRAW); a null caption is a separator.
SIZE MeasureSkinMenuItem(HWND owner, const wchar_t* caption, HFONT font);
void DrawSkinMenuItem(HDC dc, const RECT& area, const wchar_t* caption, HFONT font, const GlyphList& glyphs, int glyph,
                      bool selected);

}  // namespace kadrix
