#include "controls/FieldSkin.h"

#include <commctrl.h>

#include "app/Win32Handles.h"
#include "controls/Skin.h"
#include "controls/SkinPalette.h"

namespace kadrix {

namespace {

constexpr int kDropButtonCorner = 6;

bool IsDropDownList(HWND control) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    return CompareStringOrdinal(name, -1, WC_COMBOBOXW, -1, TRUE) == CSTR_EQUAL;
}

void FrameClient(HDC dc, const RECT& area) {
    unique_hbrush edge(CreateSolidBrush(kSkinFieldEdge));
    FrameRect(dc, &area, edge.get());
}

// The edit box's one-pixel border is its non-client area.
void PaintEditFrame(HWND edit) {
    WindowDC dc(edit, true);
    RECT frame{};
    GetWindowRect(edit, &frame);
    OffsetRect(&frame, -frame.left, -frame.top);
    FrameClient(dc.get(), frame);
}

void DrawChevron(HDC dc, const RECT& button, COLORREF colour) {
    const int x = (button.left + button.right) / 2;
    const int y = (button.top + button.bottom) / 2;
    const POINT chevron[] = {{x - 4, y - 2}, {x, y + 2}, {x + 4, y - 2}};
    DrawSkinStroke(dc, chevron, colour);
}

// Over what the list drew itself: the frame and a small button in the skin's blue.
void DrawListDecor(HWND list, HDC dc) {
    RECT client{};
    GetClientRect(list, &client);
    COMBOBOXINFO info{sizeof(info)};
    if (!GetComboBoxInfo(list, &info)) return;
    // The same brush the list's face was painted with.
    const auto field = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(list), WM_CTLCOLORLISTBOX,
                                                             reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(list)));
    RECT button = info.rcButton;
    FillRect(dc, &button, field ? field : GetSysColorBrush(COLOR_WINDOW));
    InflateRect(&button, -1, -1);
    const bool dropped = info.stateButton & STATE_SYSTEM_PRESSED;
    const bool disabled = !IsWindowEnabled(list);
    const COLORREF face = disabled ? kSkinDisabledFace : dropped ? kSkinBluePressed : kSkinBlue;
    DrawRoundedBox(dc, button, {kDropButtonCorner, face, 1, face});
    DrawChevron(dc, button, disabled ? kSkinDisabledText : kSkinWhite);
    FrameClient(dc, client);
}

}  // namespace

FieldSkin::FieldSkin(HWND control) : drop_down_list_(IsDropDownList(control)) { window_.Attach(control); }

// The list paints into a given DC (WM_PAINT's wParam), so it is drawn off-screen and
// decorated before anything reaches the screen.
void FieldSkin::PaintList(WPARAM given_dc) {
    const HWND list = window_.get();
    if (given_dc) {
        window_.Default(WM_PAINT, given_dc, 0);
        DrawListDecor(list, reinterpret_cast<HDC>(given_dc));
        return;
    }
    PaintScope paint(list);
    RECT client{};
    GetClientRect(list, &client);
    DrawOffScreen(paint.dc(), client, [&](HDC dc, const RECT&) {
        window_.Default(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        DrawListDecor(list, dc);
    });
}

LRESULT FieldSkin::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_NCPAINT:
        if (drop_down_list_) break;
        PaintEditFrame(window_.get());
        return 0;
    case WM_PAINT:
        if (!drop_down_list_) break;
        PaintList(wparam);
        return 0;
    case WM_PRINTCLIENT:
        if (!drop_down_list_) break;
        window_.Default(message, wparam, lparam);
        DrawListDecor(window_.get(), reinterpret_cast<HDC>(wparam));
        return 0;
    }
    return window_.Default(message, wparam, lparam);
}

}  // namespace kadrix
