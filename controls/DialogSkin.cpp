#include "controls/DialogSkin.h"

#include "app/WindowText.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "controls/Skin.h"
#include "controls/SkinPalette.h"

namespace kadrix {

namespace {

constexpr int kButtonCorner = 8;
constexpr int kFocusWidth = 2;
constexpr int kBoxSize = 15;
constexpr int kBoxCorner = 5;
constexpr int kBoxToText = 6;

enum class ButtonKind { PushButton, CheckBox, Other };

ButtonKind KindOf(HWND control) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    if (CompareStringOrdinal(name, -1, WC_BUTTONW, -1, TRUE) != CSTR_EQUAL) return ButtonKind::Other;
    switch (GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:  // the dialog manager switches a focused push button to this
        return ButtonKind::PushButton;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
        return ButtonKind::CheckBox;
    default:
        return ButtonKind::Other;
    }
}

void DrawTick(HDC dc, const RECT& box, COLORREF colour) {
    const POINT tick[] = {{box.left + 4, box.top + 7}, {box.left + 6, box.top + 10}, {box.left + 11, box.top + 4}};
    DrawSkinStroke(dc, tick, colour);
}

void DrawPushButton(HDC dc, const RECT& area, const wchar_t* caption, const SkinControlState& state,
                    UINT text_format) {
    const PushButtonColours colours = PushButtonColoursFor(state);
    RECT face = area;
    InflateRect(&face, -1, -1);
    DrawRoundedBox(dc, face, {kButtonCorner, colours.edge, 1, colours.face});
    if (state.focused) {
        RECT ring = face;
        InflateRect(&ring, -2, -2);
        DrawRoundedBox(dc, ring, {kButtonCorner - 3, kSkinFocusOnBlue, kFocusWidth});
    }
    RECT text = face;
    if (state.pressed) OffsetRect(&text, 0, 1);
    SetTextColor(dc, colours.text);
    DrawTextW(dc, caption, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | text_format);
}

void DrawCheckBox(HDC dc, const RECT& area, const wchar_t* caption, const SkinControlState& state,
                  UINT text_format) {
    const CheckBoxColours colours = CheckBoxColoursFor(state);
    const int top = area.top + (area.bottom - area.top - kBoxSize) / 2;
    const RECT box{area.left + 1, top, area.left + 1 + kBoxSize, top + kBoxSize};
    DrawRoundedBox(dc, box, {kBoxCorner, colours.edge, 1, colours.box});
    if (state.checked) DrawTick(dc, box, colours.tick);

    SetTextColor(dc, colours.text);
    RECT text{box.right + kBoxToText, area.top, area.right - 2, area.bottom};
    const UINT format = DT_LEFT | DT_VCENTER | DT_SINGLELINE | text_format;
    DrawTextW(dc, caption, -1, &text, format);
    if (!state.focused) return;
    RECT extent = text;
    DrawTextW(dc, caption, -1, &extent, format | DT_CALCRECT);
    const RECT ring{extent.left - 3, area.top + 1, std::min(extent.right + 3, area.right), area.bottom - 1};
    DrawRoundedBox(dc, ring, {kBoxCorner, kSkinBlue});
}

SkinControlState StateOf(const NMCUSTOMDRAW& draw, bool cues_hidden) {
    SkinControlState state;
    state.hot = draw.uItemState & CDIS_HOT;
    state.pressed = draw.uItemState & CDIS_SELECTED;
    state.focused = (draw.uItemState & CDIS_FOCUS) && !cues_hidden;
    state.disabled = draw.uItemState & CDIS_DISABLED;
    state.checked = SendMessageW(draw.hdr.hwndFrom, BM_GETCHECK, 0, 0) == BST_CHECKED;
    return state;
}

void Paint(const NMCUSTOMDRAW& draw, ButtonKind kind) {
    const HWND control = draw.hdr.hwndFrom;
    // Windows hides focus cues and mnemonic underlines until the keyboard is used.
    const LRESULT ui_state = SendMessageW(control, WM_QUERYUISTATE, 0, 0);
    const SkinControlState state = StateOf(draw, ui_state & UISF_HIDEFOCUS);
    const UINT text_format = (ui_state & UISF_HIDEACCEL) ? DT_HIDEPREFIX : 0;
    const std::wstring caption = WindowText(control);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    RECT client{};
    GetClientRect(control, &client);
    DrawOverParent(control, draw.hdc, client, [&](HDC dc, const RECT& area) {
        SelectedObject selected(dc, font);
        SetBkMode(dc, TRANSPARENT);
        if (kind == ButtonKind::PushButton) DrawPushButton(dc, area, caption.c_str(), state, text_format);
        else DrawCheckBox(dc, area, caption.c_str(), state, text_format);
    });
}

}  // namespace

std::optional<LRESULT> DrawSkinDialogControl(const NMHDR& notification) {
    if (notification.code != NM_CUSTOMDRAW) return std::nullopt;
    const ButtonKind kind = KindOf(notification.hwndFrom);
    if (kind == ButtonKind::Other) return std::nullopt;
    const auto& draw = reinterpret_cast<const NMCUSTOMDRAW&>(notification);
    LRESULT result = CDRF_DODEFAULT;
    // Wine's buttons end the paint when the erase stage is skipped, Windows' may go on
    // to the paint stage: the whole control is drawn at whichever comes first.
    if (draw.dwDrawStage == CDDS_PREERASE || draw.dwDrawStage == CDDS_PREPAINT) {
        Paint(draw, kind);
        result = CDRF_SKIPDEFAULT;
    }
    return result;
}

}  // namespace kadrix
