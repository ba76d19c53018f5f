#include "controls/Skin.h"

#include <cwchar>

#include "controls/GlyphList.h"
#include "controls/SkinPalette.h"

namespace kadrix {

namespace {

constexpr COLORREF kText = kSkinWhite;
constexpr COLORREF kMenuBackground = kSkinLightBackground;
constexpr COLORREF kMenuGlyphColumn = RGB(232, 240, 247);
constexpr COLORREF kMenuSelected = RGB(255, 214, 128);
constexpr COLORREF kMenuSelectedBorder = RGB(240, 160, 40);
constexpr COLORREF kMenuText = kSkinText;
constexpr COLORREF kMenuSeparator = RGB(200, 210, 222);
constexpr int kMenuGlyphColumnWidth = 34;
constexpr int kMenuItemHeight = 30;
constexpr int kMenuSeparatorHeight = 7;
constexpr int kCornerRadius = 10;

// Fills `area` with white at the given opacity over what the DC already holds,
// inside rounded corners.
void FillTranslucent(HDC dc, const RECT& area, BYTE opacity) {
    unique_hrgn corners(CreateRoundRectRgn(area.left, area.top, area.right + 1, area.bottom + 1, kCornerRadius,
                                           kCornerRadius));
    SelectClipRgn(dc, corners.get());
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(info.bmiHeader), 1, 1, 1, 32, BI_RGB};
    void* bits = nullptr;
    unique_hbitmap white(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    unique_hdc source(CreateCompatibleDC(dc));
    if (white && source) {
        *static_cast<DWORD*>(bits) = 0xFFFFFFFF;
        SelectedObject selected(source.get(), white.get());
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, opacity, 0};
        AlphaBlend(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, source.get(), 0, 0, 1, 1,
                   blend);
    }
    SelectClipRgn(dc, nullptr);
}

}  // namespace

void DrawRoundedBox(HDC dc, const RECT& area, const RoundedBox& box) {
    unique_hpen pen(CreatePen(PS_INSIDEFRAME, box.edge_width, box.edge));
    unique_hbrush fill(box.fill ? CreateSolidBrush(*box.fill) : nullptr);
    SelectedObject selected_pen(dc, pen.get());
    SelectedObject selected_brush(dc, fill ? fill.get() : GetStockObject(NULL_BRUSH));
    RoundRect(dc, area.left, area.top, area.right, area.bottom, box.corner, box.corner);
}

unique_hfont CreateSkinFont(int height, int weight, bool underline) {
    return unique_hfont(CreateFontW(height, 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                    DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
}

void PaintBackground(HDC dc, HBITMAP picture) {
    BITMAP size{};
    if (!picture || !GetObjectW(picture, sizeof(size), &size)) return;
    unique_hdc source(CreateCompatibleDC(dc));
    SelectedObject selected(source.get(), picture);
    BitBlt(dc, 0, 0, size.bmWidth, size.bmHeight, source.get(), 0, 0, SRCCOPY);
}

void PaintParentBackground(HWND child, HDC dc) {
    HWND parent = GetParent(child);
    POINT origin{0, 0};
    MapWindowPoints(child, parent, &origin, 1);
    POINT previous{};
    OffsetViewportOrgEx(dc, -origin.x, -origin.y, &previous);
    SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
}

void DrawSkinStroke(HDC dc, std::span<const POINT> points, COLORREF colour) {
    const LOGBRUSH brush{BS_SOLID, colour, 0};
    unique_hpen pen(ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND, 2, &brush, 0, nullptr));
    SelectedObject selected(dc, pen.get());
    Polyline(dc, points.data(), static_cast<int>(points.size()));
}

void DrawOffScreen(HDC dc, const RECT& area, const SkinDrawing& draw) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    unique_hdc buffer(CreateCompatibleDC(dc));
    unique_hbitmap surface(CreateCompatibleBitmap(dc, width, height));
    SelectedObject selected(buffer.get(), surface.get());
    draw(buffer.get(), RECT{0, 0, width, height});
    BitBlt(dc, area.left, area.top, width, height, buffer.get(), 0, 0, SRCCOPY);
}

void DrawOverParent(HWND control, HDC dc, const RECT& area, const SkinDrawing& draw) {
    DrawOffScreen(dc, area, [&](HDC buffer, const RECT& local) {
        PaintParentBackground(control, buffer);
        draw(buffer, local);
    });
}

void DrawSkinButton(HDC dc, const RECT& area, SkinButtonLayout layout, const wchar_t* caption, HFONT font,
                    const GlyphList& glyphs, int glyph, SkinButtonState state) {
    RECT face = area;
    InflateRect(&face, -1, -1);
    FillTranslucent(dc, face, state.pressed ? 90 : 40);
    DrawRoundedBox(dc, face, {kCornerRadius, state.focused ? kSkinFocusOnBlue : RGB(170, 205, 230)});

    const int shift = state.pressed ? 1 : 0;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (layout == SkinButtonLayout::GlyphOnly || !caption) {
        glyphs.Draw(dc, glyph, area.left + (width - GlyphList::kSize) / 2 + shift,
                    area.top + (height - GlyphList::kSize) / 2 + shift);
        return;
    }
    constexpr int kGlyphTop = 10;
    glyphs.Draw(dc, glyph, area.left + (width - GlyphList::kSize) / 2 + shift, area.top + kGlyphTop + shift);
    RECT text = {area.left + 2 + shift, area.top + kGlyphTop + GlyphList::kSize + 6 + shift, area.right - 2 + shift,
                 area.bottom - 4 + shift};
    SelectedObject selected(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kText);
    DrawTextW(dc, caption, -1, &text, DT_CENTER | DT_NOPREFIX | DT_WORDBREAK);
}

void DrawSkinLink(HDC dc, const RECT& area, const wchar_t* text, HFONT font) {
    SelectedObject selected(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kText);
    RECT box = area;
    DrawTextW(dc, text, -1, &box, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

SIZE MeasureSkinMenuItem(HWND owner, const wchar_t* caption, HFONT font) {
    if (!caption) return {0, kMenuSeparatorHeight};
    WindowDC screen(owner);
    SelectedObject selected(screen.get(), font);
    SIZE text{};
    GetTextExtentPoint32W(screen.get(), caption, static_cast<int>(wcslen(caption)), &text);
    return {kMenuGlyphColumnWidth + 10 + text.cx + 24, kMenuItemHeight};
}

void DrawSkinMenuItem(HDC dc, const RECT& area, const wchar_t* caption, HFONT font, const GlyphList& glyphs, int glyph,
                      bool selected) {
    unique_hbrush background(CreateSolidBrush(kMenuBackground));
    FillRect(dc, &area, background.get());
    RECT column = {area.left, area.top, area.left + kMenuGlyphColumnWidth, area.bottom};
    unique_hbrush column_brush(CreateSolidBrush(kMenuGlyphColumn));
    FillRect(dc, &column, column_brush.get());

    if (!caption) {
        RECT line = {area.left + kMenuGlyphColumnWidth + 6, (area.top + area.bottom) / 2,
                     area.right - 6, (area.top + area.bottom) / 2 + 1};
        unique_hbrush line_brush(CreateSolidBrush(kMenuSeparator));
        FillRect(dc, &line, line_brush.get());
        return;
    }
    if (selected) {
        RECT highlight = area;
        InflateRect(&highlight, -2, -1);
        unique_hbrush fill(CreateSolidBrush(kMenuSelected));
        unique_hpen pen(CreatePen(PS_SOLID, 1, kMenuSelectedBorder));
        SelectedObject selected_brush(dc, fill.get());
        SelectedObject selected_pen(dc, pen.get());
        RoundRect(dc, highlight.left, highlight.top, highlight.right, highlight.bottom, 6, 6);
    }
    glyphs.Draw(dc, glyph, area.left + (kMenuGlyphColumnWidth - GlyphList::kSize) / 2,
                area.top + (area.bottom - area.top - GlyphList::kSize) / 2);
    SelectedObject selected_font(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kMenuText);
    RECT text = {area.left + kMenuGlyphColumnWidth + 10, area.top, area.right - 8, area.bottom};
    DrawTextW(dc, caption, -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace kadrix
