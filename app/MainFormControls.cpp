#include "app/MainFormControls.h"

#include <cwchar>

#include "app/TrayMenuItems.h"
#include "app/Win32Error.h"
#include "app/Win32Handles.h"
#include "controls/GlyphList.h"
#include "controls/Skin.h"

namespace kadrix {

namespace {

const ControlDecl* FindControl(UINT id) {
    for (const ControlDecl& decl : kMainFormControls)
        if (decl.command == id) return &decl;
    return nullptr;
}

// The label sizes itself to its text, like an auto-sized label.
SIZE TextSize(HWND parent, const wchar_t* text, HFONT font) {
    WindowDC dc(parent);
    SelectedObject selected(dc.get(), font);
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), text, static_cast<int>(wcslen(text)), &size);
    return size;
}

void DrawControl(const DRAWITEMSTRUCT& item, const ControlDecl& decl, const GlyphList& glyphs) {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0));
    DrawOverParent(item, [&](HDC dc, const RECT& area) {
        if (decl.kind == ControlKind::LinkLabel) {
            DrawSkinLink(dc, area, decl.caption, font);
            return;
        }
        const SkinButtonState state{(item.itemState & ODS_SELECTED) != 0, (item.itemState & ODS_FOCUS) != 0};
        DrawSkinButton(dc, area,
                       decl.kind == ControlKind::GlyphButton ? SkinButtonLayout::GlyphOnly
                                                             : SkinButtonLayout::GlyphAboveCaption,
                       decl.caption, font, glyphs, decl.glyph, state);
    });
}

}  // namespace

HWND CreateSkinControl(HWND parent, const ControlDecl& decl, HFONT font) {
    const bool label = decl.kind == ControlKind::LinkLabel;
    SIZE size{decl.width, decl.height};
    if (label) size = TextSize(parent, decl.caption, font);
    const DWORD style = WS_CHILD | WS_VISIBLE | (decl.tab_stop ? WS_TABSTOP : 0) |
                        (label ? SS_OWNERDRAW | SS_NOTIFY : BS_OWNERDRAW);
    HWND control = CreateWindowExW(0, label ? L"STATIC" : L"BUTTON", decl.caption ? decl.caption : L"", style, decl.left,
                                   decl.top, size.cx, size.cy, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(decl.command)),
                                   reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (!control) throw Win32Error(L"CreateWindowExW", GetLastError());
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

LRESULT DrawSkinItem(const DRAWITEMSTRUCT& item, const GlyphList& glyphs, HFONT menu_font) {
    if (item.CtlType == ODT_MENU) {
        const auto* menu_item = reinterpret_cast<const MenuItemDecl*>(item.itemData);
        if (!menu_item) return FALSE;
        DrawSkinMenuItem(item.hDC, item.rcItem, menu_item->caption, menu_font, glyphs, menu_item->glyph,
                         (item.itemState & ODS_SELECTED) != 0);
        return TRUE;
    }
    const ControlDecl* decl = FindControl(item.CtlID);
    if (!decl) return FALSE;
    DrawControl(item, *decl, glyphs);
    return TRUE;
}

LRESULT MeasureSkinItem(HWND owner, MEASUREITEMSTRUCT& item, HFONT menu_font) {
    if (item.CtlType != ODT_MENU) return FALSE;
    const auto* menu_item = reinterpret_cast<const MenuItemDecl*>(item.itemData);
    if (!menu_item) return FALSE;
    const SIZE size = MeasureSkinMenuItem(owner, menu_item->caption, menu_font);
    item.itemWidth = size.cx;
    item.itemHeight = size.cy;
    return TRUE;
}

}  // namespace kadrix
