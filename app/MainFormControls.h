#pragma once
// Creation and drawing of the main window's declared components and its menu items.
#include <windows.h>

#include "app/MainFormLayout.h"

namespace kadrix {

class GlyphList;

// Creates a glyph button or the link label of the form description, with its font.
HWND CreateSkinControl(HWND parent, const ControlDecl& decl, HFONT font);

// WM_DRAWITEM / WM_MEASUREITEM of the main window, for its buttons, label and menu.
// Menu items are drawn in `menu_font`.
LRESULT DrawSkinItem(const DRAWITEMSTRUCT& item, const GlyphList& glyphs, HFONT menu_font);
LRESULT MeasureSkinItem(HWND owner, MEASUREITEMSTRUCT& item, HFONT menu_font);

}  // namespace kadrix
