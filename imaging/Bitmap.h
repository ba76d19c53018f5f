#pragma once
// The capture bitmap: one GDI bitmap, its size and pixel format, and a memory DC to
// draw on it. Resizing reallocates; the same size keeps the bitmap for the next capture.
#include <windows.h>

#include <functional>
#include <string>

#include "app/Win32Handles.h"
#include "imaging/ByteSink.h"
#include "imaging/PixelRows.h"

namespace kadrix {

enum class PixelFormat {
    Device,  // compatible with the screen (CreateCompatibleBitmap)
    Bits24,  // 24-bit bottom-up DIB section
};

class Bitmap {
public:
    Bitmap() = default;                  // empty (0 x 0), device format
    explicit Bitmap(unique_hbitmap&& adopted) noexcept;  // device format, size read from the bitmap
    // Not movable: the canvas DC holds the bitmap selected, so both must go together.
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    PixelFormat pixelFormat() const noexcept { return format_; }
    void setPixelFormat(PixelFormat format);
    // Sizes below zero, or a bitmap the platform cannot make, throw kadrix::Error.
    void setWidth(int width);
    void setHeight(int height);
    void setSize(int width, int height);

    int width() const noexcept { return width_; }
    int height() const noexcept { return height_; }
    bool empty() const noexcept { return width_ == 0 || height_ == 0; }
    int bitsPerPixel() const;  // 0 when empty

    HDC canvas();  // made on first use; stays valid across resizes
    HBITMAP handle() const noexcept { return bitmap_.get(); }
    HPALETTE palette() const noexcept { return palette_.get(); }  // only for device bitmaps on palette displays

    // GetDIBits wants a bitmap that no DC holds: `read` gets the handle while a
    // placeholder stands in the canvas, which has the bitmap back on every path.
    void readUnselected(const std::function<void(HBITMAP)>& read) const;
    // The pixels as rows of `bitsPerPixel`, for `read` to encode: the 24-bit format's own
    // memory in place, anything else a band at a time through the platform's conversion
    // (readDibRows). No copy of the whole frame is made. An empty bitmap gives an empty picture.
    void readRows(int bitsPerPixel, const std::function<void(PixelRows&)>& read) const;

    // A BMP file in the current pixel format; an empty bitmap gives an empty file.
    void saveToFile(const std::wstring& path) const;
    void saveToStream(ByteSink& sink) const;  // the same bytes; an empty bitmap writes none

private:
    void reallocate(PixelFormat format, int width, int height);

    PixelFormat format_ = PixelFormat::Device;
    int width_ = 0;
    int height_ = 0;
    unique_hbitmap bitmap_;
    unique_hpalette palette_;
    unique_hdc canvas_;  // declared last: destroyed first, so the bitmap is no longer selected when deleted
};

}  // namespace kadrix
