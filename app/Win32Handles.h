#pragma once
// One owner type per release function, so every handle is released on every path.
#include <windows.h>

#include <utility>

namespace kadrix {

// Traits: the value that means "no handle" and the function that releases one.
template <typename H, auto Release>
struct NullHandleTraits {
    using Handle = H;
    static constexpr Handle invalid() noexcept { return Handle{}; }
    static void close(Handle handle) noexcept { Release(handle); }
};

struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(Handle handle) noexcept { ::CloseHandle(handle); }
};

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::invalid(); }
    Handle release() noexcept { return std::exchange(handle_, Traits::invalid()); }
    void reset(Handle handle = Traits::invalid()) noexcept {
        if (handle_ != Traits::invalid()) Traits::close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = Traits::invalid();
};

inline void DeleteGdiObject(HGDIOBJ object) noexcept { ::DeleteObject(object); }

using unique_hdc = UniqueHandle<NullHandleTraits<HDC, ::DeleteDC>>;  // CreateCompatibleDC
using unique_hbitmap = UniqueHandle<NullHandleTraits<HBITMAP, DeleteGdiObject>>;
using unique_hfont = UniqueHandle<NullHandleTraits<HFONT, DeleteGdiObject>>;
using unique_hbrush = UniqueHandle<NullHandleTraits<HBRUSH, DeleteGdiObject>>;
using unique_hpen = UniqueHandle<NullHandleTraits<HPEN, DeleteGdiObject>>;
using unique_hpalette = UniqueHandle<NullHandleTraits<HPALETTE, DeleteGdiObject>>;
using unique_hrgn = UniqueHandle<NullHandleTraits<HRGN, DeleteGdiObject>>;
using unique_hicon = UniqueHandle<NullHandleTraits<HICON, ::DestroyIcon>>;
using unique_hmenu = UniqueHandle<NullHandleTraits<HMENU, ::DestroyMenu>>;
using unique_hkey = UniqueHandle<NullHandleTraits<HKEY, ::RegCloseKey>>;
using unique_hwnd = UniqueHandle<NullHandleTraits<HWND, ::DestroyWindow>>;
using unique_handle = UniqueHandle<NullHandleTraits<HANDLE, ::CloseHandle>>;
using unique_file = UniqueHandle<FileHandleTraits>;

// GetDC / ReleaseDC pair (window or screen device context).
class WindowDC {
public:
    explicit WindowDC(HWND window, bool whole_window = false) noexcept
        : window_(window), dc_(whole_window ? ::GetWindowDC(window) : ::GetDC(window)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    HDC get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// SelectObject with the previous object put back on scope exit.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(::SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// BeginPaint / EndPaint pair.
class PaintScope {
public:
    explicit PaintScope(HWND window) noexcept : window_(window) { dc_ = ::BeginPaint(window, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { ::EndPaint(window_, &paint_); }
    HDC dc() const noexcept { return dc_; }
    const RECT& area() const noexcept { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

}  // namespace kadrix
