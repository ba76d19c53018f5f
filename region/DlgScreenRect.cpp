#include "region/DlgScreenRect.h"

#include <windowsx.h>

#include <utility>

#include "app/ScopeExit.h"
#include "app/Win32Error.h"
#include "app/WindowClass.h"
#include "capture/Grabbers.h"
#include "capture/ScreenSettle.h"
#include "region/ScreenGeometry.h"

namespace kadrix {

namespace {

// The overlay's form: layout and look.
struct OverlayForm {
    const wchar_t* window_class;
    DWORD style;
    DWORD ex_style;
    int design_width;
    int design_height;
    const wchar_t* cursor;
    int background;            // system colour index
    COLORREF transparent_color;
    BYTE alpha;
    UINT timer_interval_ms;
};

const OverlayForm kFormScreenRect{
    L"TFormScreenRect", WS_POPUP, WS_EX_LAYERED, 488, 281, IDC_CROSS, COLOR_BTNFACE, RGB(0, 128, 0), 150, 50,
};
constexpr COLORREF kSelectionColor = RGB(255, 0, 0);
constexpr UINT_PTR kTimerKeyDown = 1;

// The overlay whose modal run is innermost. Only it keeps itself on top, so overlays
// opened one over another do not take the top from each other every tick.
TFormScreenRect* innermost_overlay = nullptr;

void FillArea(HDC dc, const Rect& area, HBRUSH brush) {
    const RECT rect{area.left, area.top, area.right, area.bottom};
    FillRect(dc, &rect, brush);
}

}  // namespace

TFormScreenRect::TFormScreenRect() {
    RegisterWindowClass({.name = kFormScreenRect.window_class, .cursor = kFormScreenRect.cursor,
                         .background = GetSysColorBrush(kFormScreenRect.background)});
    window_.Create({.window_class = kFormScreenRect.window_class, .style = kFormScreenRect.style,
                    .ex_style = kFormScreenRect.ex_style,
                    .frame = {0, 0, kFormScreenRect.design_width, kFormScreenRect.design_height}});
    DisableTransitions(window_.get());
    if (!SetLayeredWindowAttributes(window_.get(), kFormScreenRect.transparent_color, kFormScreenRect.alpha,
                                    LWA_COLORKEY | LWA_ALPHA))
        throw Win32Error(L"SetLayeredWindowAttributes", GetLastError());
    outline_pen_.reset(Made(CreatePen(PS_DOT, 1, kSelectionColor), L"CreatePen"));
    handle_pen_.reset(Made(CreatePen(PS_SOLID, 1, kSelectionColor), L"CreatePen"));
    hole_brush_.reset(Made(CreateSolidBrush(kFormScreenRect.transparent_color), L"CreateSolidBrush"));
    handle_brush_.reset(Made(CreateSolidBrush(kSelectionColor), L"CreateSolidBrush"));
    SetTimer(window_.get(), kTimerKeyDown, kFormScreenRect.timer_interval_ms, nullptr);
    FormCreate();
}

void TFormScreenRect::SetBounds(int left, int top, int width, int height) {
    SetWindowPos(window_.get(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

int TFormScreenRect::ShowModal() {
    outer_ = std::exchange(innermost_overlay, this);
    const ScopeExit innermost([this] { innermost_overlay = outer_; });
    const HWND window = window_.get();
    return modal_.Run(window, ModalKeys::Window, [window] {
        // On top at once, also over an overlay already open: the timer only keeps it there.
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(window);
        SetFocus(window);
    });
}

void TFormScreenRect::FormCreate() { ExitStatus = 0; }

void TFormScreenRect::TimerKeyDownTimer() {
    if (ExitStatus != 0) {
        KillTimer(window_.get(), kTimerKeyDown);
        return;
    }
    if (innermost_overlay != this) return;
    SetWindowPos(window_.get(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TFormScreenRect::FormKeyUp(WPARAM key) {
    if (key != VK_ESCAPE) return;
    GiveUp();
}

void TFormScreenRect::GiveUp() noexcept {
    ExitStatus = 1;
    modal_.End(mrCancel);
}

void TFormScreenRect::FormMouseDown(int X, int Y) {
    isDown = true;
    downX = X;
    downY = Y;
    // Moves and the release must reach us, with any button, also beyond the edges and
    // over the hole: Windows hands input on colour-keyed pixels to the window beneath,
    // which would get the release (a right one opens its menu) and leave us open.
    SetCapture(window_.get());
}

void TFormScreenRect::FormMouseMove(int X, int Y) {
    if (!isDown) return;
    // One frame composed off-screen, then shown at once: the veil over what the last
    // step drew, the new hole, outline and handles. Only that area changes.
    const Rect now = SelectionBounds({downX, downY}, {X, Y});
    const Rect area = Union(drawn_, now);
    WindowDC window_dc(window_.get());
    const HDC back = Backbuffer(window_dc.get());
    FillArea(back, area, GetSysColorBrush(kFormScreenRect.background));
    DrawSelection(back, {X, Y});
    BitBlt(window_dc.get(), area.left, area.top, area.width(), area.height(), back, area.left, area.top, SRCCOPY);
    drawn_ = now;
}

void TFormScreenRect::DrawSelection(HDC dc, Point pointer) const {
    const Point press{downX, downY};
    {
        // Dotted outline whose gaps, like the inside, are in the see-through key colour.
        const SelectedObject pen(dc, outline_pen_.get());
        const SelectedObject brush(dc, hole_brush_.get());
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, kFormScreenRect.transparent_color);
        const Rect hole = OrderedRect(press, pointer);
        Rectangle(dc, hole.left, hole.top, hole.right, hole.bottom);
    }
    const SelectedObject pen(dc, handle_pen_.get());
    const SelectedObject brush(dc, handle_brush_.get());
    for (const Rect& handle : HandleRects(press, pointer)) Rectangle(dc, handle.left, handle.top, handle.right, handle.bottom);
}

HDC TFormScreenRect::Backbuffer(HDC window_dc) {
    if (back_dc_) return back_dc_.get();
    RECT client{};
    GetClientRect(window_.get(), &client);
    unique_hbitmap bitmap(Made(CreateCompatibleBitmap(window_dc, client.right, client.bottom), L"CreateCompatibleBitmap"));
    unique_hdc dc(Made(CreateCompatibleDC(window_dc), L"CreateCompatibleDC"));
    SelectObject(dc.get(), bitmap.get());
    back_bitmap_ = std::move(bitmap);
    back_dc_ = std::move(dc);
    return back_dc_.get();
}

void TFormScreenRect::FormMouseUp(int X, int Y) {
    // A release whose press went to another window is no selection on this overlay.
    if (!isDown) return;
    isDown = false;
    if (GetCapture() == window_.get()) ReleaseCapture();
    // Client coordinates start at the overlay's corner, which lies left of and above
    // the primary monitor when other monitors do.
    RECT overlay{};
    GetWindowRect(window_.get(), &overlay);
    const Rect copied =
        CopiedRect({overlay.left, overlay.top, overlay.right, overlay.bottom}, {downX, downY}, {X, Y});
    selection_ = GetUserScreenRect({copied.left, copied.top, copied.right, copied.bottom});
    ExitStatus = 1;
    modal_.End(mrOk);
}

std::unique_ptr<Bitmap> TFormScreenRect::GetUserScreenRect(const RECT& aRect) {
    // A drag up or left copies the same rectangle as the drag the other way.
    const Rect area = OrderedRect({aRect.left, aRect.top}, {aRect.right, aRect.bottom});
    auto bitmap = std::make_unique<Bitmap>();
    bitmap->setSize(area.width(), area.height());
    const ScreenBeforeHide before({area.left, area.top, area.right, area.bottom});
    ShowWindow(window_.get(), SW_HIDE);
    // Overlays still open under this one would veil the copy: out of the way while it runs.
    // They come back also when the copy fails.
    for (TFormScreenRect* outer = outer_; outer; outer = outer->outer_) ShowWindow(outer->handle(), SW_HIDE);
    const ScopeExit show_outer([this] {
        for (TFormScreenRect* outer = outer_; outer; outer = outer->outer_) ShowWindow(outer->handle(), SW_SHOWNA);
    });
    if (!bitmap->empty()) {
        before.WaitUntilGone();
        CopyScreen(*bitmap, area);
    }
    return bitmap;
}

void TFormScreenRect::Paint() {
    // The veil alone: a selection shows again with the next pointer move.
    const PaintScope paint(window_.get());
    FillRect(paint.dc(), &paint.area(), GetSysColorBrush(kFormScreenRect.background));
}

LRESULT TFormScreenRect::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    const int x = GET_X_LPARAM(lparam);
    const int y = GET_Y_LPARAM(lparam);
    switch (message) {
    case WM_TIMER:
        if (wparam == kTimerKeyDown) TimerKeyDownTimer();
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:  // Esc let go with Alt held
        FormKeyUp(wparam);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        FormMouseDown(x, y);
        return 0;
    case WM_MOUSEMOVE:
        FormMouseMove(x, y);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        FormMouseUp(x, y);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the paint covers everything
    case WM_PAINT:
        Paint();
        return 0;
    case WM_CLOSE:
        // Alt+F4 and the like give up like Esc instead of destroying the window under the modal run.
        GiveUp();
        return 0;
    }
    return window_.Default(message, wparam, lparam);
}

}  // namespace kadrix
