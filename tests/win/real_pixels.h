#pragma once
// Helpers for tests that run the program's code in a thread that declares no DPI
// awareness, as the program's own thread does on Windows.
#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

#include <cstdio>
#include <memory>

#include "Harness.h"
#include "app/ScopeExit.h"
#include "imaging/Bitmap.h"
#include "region/RegionSelection.h"
#include "session_claim.h"

namespace kadrix::test {

// Runs `work` on a new thread in the DPI-unaware context and waits for it. False when
// the system has no per-thread contexts.
inline bool RunUnaware(const std::function<void()>& work) {
    return RunInDpiContext(DPI_AWARENESS_CONTEXT_UNAWARE, work);
}

// The screen's real size, as this (aware) thread sees it.
inline SIZE RealPrimarySize() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

inline RECT RealVirtualScreen() {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// Every pixel of a capture bitmap, read through a copy so the bitmap stays as it is.
inline e2e::Picture PictureOf(Bitmap& bitmap) {
    if (bitmap.empty()) return {bitmap.width(), bitmap.height(), {}};
    return e2e::DcPicture(bitmap.canvas(), {0, 0, bitmap.width(), bitmap.height()});
}

// Pixels of `capture` that differ from the screen's at `origin` onwards, as `expected` gives them.
inline int WrongPixels(const e2e::Picture& capture, POINT origin, COLORREF (*expected)(POINT)) {
    int wrong = 0;
    for (int y = 0; y < capture.height; ++y)
        for (int x = 0; x < capture.width; ++x)
            if (capture.at({x, y}) != expected({origin.x + x, origin.y + y})) ++wrong;
    return wrong;
}

struct DrivenSelection {
    RECT overlay{};                    // where the overlay lay, in real pixels
    std::unique_ptr<Bitmap> selection;  // what the region selection returned
};

// Runs the region selection in a DPI-unaware thread and drags on its overlay from this
// one, in real pixels. An overlay that never takes the foreground, or is still open long
// after the drag (Wine dropped the input), is closed, so the test fails instead of hanging.
inline DrivenSelection DriveRegionSelection(POINT from, POINT to) {
    DrivenSelection result;
    std::atomic<bool> returned = false;
    std::thread user([&] {
        HWND overlay = nullptr;
        const bool open = e2e::WaitFor([&] {
            overlay = FindWindowW(L"TFormScreenRect", nullptr);
            return overlay && IsWindowVisible(overlay) && GetForegroundWindow() == overlay;
        });
        if (open) {
            GetWindowRect(overlay, &result.overlay);
            e2e::Drag(from, to);
            if (e2e::WaitFor([&] { return returned.load(); }, std::chrono::seconds(10))) return;
        }
        std::fprintf(stderr, "test: the overlay %s; closing it\n", open ? "missed the drag" : "never took the foreground");
        // Until the selection returns: the overlay may not even exist yet.
        e2e::WaitFor([&] {
            if (HWND late = FindWindowW(L"TFormScreenRect", nullptr)) PostMessageW(late, WM_CLOSE, 0, 0);
            return returned.load();
        }, std::chrono::hours(24), std::chrono::milliseconds(100));
    });
    {
        const ScopeExit finish([&] {
            returned = true;
            user.join();
        });
        RunUnaware([&] { result.selection = SelectScreenRegion(); });
    }
    return result;
}

}  // namespace kadrix::test
