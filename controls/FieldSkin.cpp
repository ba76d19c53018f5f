#include "controls/FieldSkin.h"

#include <commctrl.h>

#include "app/ErrorBox.h"
#include "app/Win32Error.h"
#include "app/Win32Handles.h"
#include "controls/Skin.h"
#include "controls/SkinPalette.h"

namespace kadrix {

namespace {

constexpr UINT_PTR kFieldSubclassId = 1;
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

// The list paints into a given DC (WM_PAINT's wParam), so it is drawn off-screen and
// decorated before anything reaches the screen.
void PaintList(HWND list, WPARAM given_dc) {
    if (given_dc) {
        DefSubclassProc(list, WM_PAINT, given_dc, 0);
        DrawListDecor(list, reinterpret_cast<HDC>(given_dc));
        return;
    }
    PaintScope paint(list);
    RECT client{};
    GetClientRect(list, &client);
    DrawOffScreen(paint.dc(), client, [&](HDC dc, const RECT&) {
        DefSubclassProc(list, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        DrawListDecor(list, dc);
    });
}

LRESULT HandleFieldMessage(HWND control, UINT message, WPARAM wparam, LPARAM lparam);

// As for the image button: a child control reports its own errors, at once.
LRESULT CALLBACK FieldProc(HWND control, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) noexcept {
    try {
        return HandleFieldMessage(control, message, wparam, lparam);
    } catch (...) {
        ShowStandardErrorBox(std::current_exception());
        return 0;
    }
}

LRESULT HandleFieldMessage(HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_NCPAINT:
        if (IsDropDownList(control)) break;
        PaintEditFrame(control);
        return 0;
    case WM_PAINT:
        if (!IsDropDownList(control)) break;
        PaintList(control, wparam);
        return 0;
    case WM_PRINTCLIENT:
        if (!IsDropDownList(control)) break;
        DefSubclassProc(control, message, wparam, lparam);
        DrawListDecor(control, reinterpret_cast<HDC>(wparam));
        return 0;
    case WM_NCDESTROY:
        RemoveWindowSubclass(control, &FieldProc, kFieldSubclassId);
        break;
    }
    return DefSubclassProc(control, message, wparam, lparam);
}

}  // namespace

void SkinFieldFrame(HWND control) {
    if (!SetWindowSubclass(control, &FieldProc, kFieldSubclassId, 0)) throw Win32Error(L"SetWindowSubclass", GetLastError());
}

}  // namespace kadrix
