#pragma once
// The region-selection overlay: a veiled, borderless, layered window over the desktop
// on which the user drags a rectangle. Its result goes into MainForm's BMPScreen.
#include <windows.h>

#include <memory>
#include <utility>

#include "app/ModalResult.h"
#include "app/ModalRun.h"
#include "app/Window.h"
#include "app/Win32Handles.h"
#include "imaging/Bitmap.h"
#include "region/SelectionGeometry.h"

namespace kadrix {

class TFormScreenRect : private MessageHandler {
public:
    TFormScreenRect();  // no owner; hidden until ShowModal
    TFormScreenRect(const TFormScreenRect&) = delete;
    TFormScreenRect& operator=(const TFormScreenRect&) = delete;

    HWND handle() const noexcept { return window_.get(); }
    void SetBounds(int left, int top, int width, int height);
    // Runs until a mouse button is released (mrOk) or Esc is released (mrCancel); hidden afterwards.
    // An error in one of the overlay's handlers ends the run and is thrown from here:
    // a box shown from the handler would let the timer and the mouse fail again under it.
    int ShowModal();

    // A screen-format copy of that rectangle of the screen, taken with the overlay hidden
    // once the screen no longer shows it.
    std::unique_ptr<Bitmap> GetUserScreenRect(const RECT& aRect);
    // After mrOk: the pixels the user framed.
    std::unique_ptr<Bitmap> TakeSelection() noexcept { return std::move(selection_); }

private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    void GiveUp() noexcept;

    void FormCreate();
    void FormKeyUp(WPARAM key);
    void FormMouseDown(int X, int Y);
    void FormMouseMove(int X, int Y);
    void FormMouseUp(int X, int Y);
    void TimerKeyDownTimer();
    void Paint();
    void DrawSelection(HDC dc, Point pointer) const;
    HDC Backbuffer(HDC window_dc);

    int ExitStatus = 0;
    bool isDown = false;
    int downX = 0;
    int downY = 0;

    ModalRun modal_;
    TFormScreenRect* outer_ = nullptr;  // the overlay whose modal run this one's runs inside
    Rect drawn_{};  // what the last drag step drew, wiped by the next one
    std::unique_ptr<Bitmap> selection_;
    unique_hpen outline_pen_;
    unique_hpen handle_pen_;
    unique_hbrush hole_brush_;
    unique_hbrush handle_brush_;
    unique_hbitmap back_bitmap_;
    unique_hdc back_dc_;  // declared after its bitmap: destroyed first
    Window window_{*this};  // last: the window goes first, while the pens and buffers its messages use still exist
};

}  // namespace kadrix
