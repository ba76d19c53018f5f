#pragma once
// Form description of the main window: its frame, and its components in creation
// (and therefore tab) order. Behaviour lives in TMainForm's handlers.
#include "app/Commands.h"

namespace kadrix {

inline constexpr int kMainClientWidth = 500;
inline constexpr int kMainClientHeight = 299;
inline constexpr unsigned kMainBackgroundColor = 0x008A5E00;  // red 0, green 94, blue 138 (COLORREF)
inline constexpr int kMainFontHeight = -13;                   // Tahoma, regular

enum class ControlKind {
    ImageButton,       // three-state picture button
    LinkLabel,         // white bold underlined text, click runs its command
    GlyphButton,       // glyph only
    GlyphCaptionButton // glyph above a two-line caption
};

struct ControlDecl {
    const wchar_t* name;
    ControlKind kind;
    Command command;  // also the control identifier
    int left, top, width, height;
    const wchar_t* caption;
    const wchar_t* hint;
    int glyph;        // index into the glyph list, -1 for none
    bool tab_stop;
};

inline constexpr ControlDecl kMainFormControls[] = {
    {L"BtnScreen", ControlKind::ImageButton, cmdScreen, 112, 192, 277, 66, nullptr,
     L"Сделать снимок всего рабочего стола", -1, false},
    {L"sLabel1", ControlKind::LinkLabel, cmdVkGroup, 8, 8, 0, 0, L"Группа вконтакте", nullptr, -1, false},
    {L"BtnSettings", ControlKind::GlyphButton, cmdSettings, 402, 8, 41, 41, nullptr, nullptr, 5, true},
    {L"BtnAbout", ControlKind::GlyphButton, cmdAbout, 449, 7, 41, 42, nullptr, nullptr, 3, true},
    {L"BtnGetWindowScreen", ControlKind::GlyphCaptionButton, cmdActiveWindow, 8, 72, 113, 85,
     L"Сделать\r\nснимок окна", L"Сделать снимок последнего активного окна", 7, true},
    {L"BtnGetScreenRect", ControlKind::GlyphCaptionButton, cmdRegion, 379, 72, 113, 85,
     L"Сделать\r\nснимок области", L"Сделать снимок выбранной области", 8, true},
};

// The link label's own font: Tahoma bold underlined, 11 pixels high.
inline constexpr int kLinkLabelFontHeight = -11;

}  // namespace kadrix
