#include "imaging/Bitmap.h"

#include <array>
#include <cstdlib>

#include "app/Error.h"
#include "imaging/BmpWriter.h"
#include "imaging/DibRows.h"
#include "imaging/FileSink.h"

namespace kadrix {

namespace {

unique_hbitmap createBitmap(PixelFormat format, int width, int height) {
    if (format == PixelFormat::Device) {
        const WindowDC screen(nullptr);
        return unique_hbitmap(CreateCompatibleBitmap(screen.get(), width, height));
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return unique_hbitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
}

// On a palette display a device bitmap's colours mean something only with the system palette.
unique_hpalette systemPaletteIfAny() {
    const WindowDC screen(nullptr);
    if (!(GetDeviceCaps(screen.get(), RASTERCAPS) & RC_PALETTE)) return {};
    std::array<std::uint8_t, sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY)> storage{};
    auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(GetSystemPaletteEntries(screen.get(), 0, 256, logical->palPalEntry));
    return unique_hpalette(CreatePalette(logical));
}

}  // namespace

Bitmap::Bitmap(unique_hbitmap&& adopted) noexcept : bitmap_(std::move(adopted)) {
    BITMAP info{};
    if (bitmap_ && GetObjectW(bitmap_.get(), sizeof info, &info)) {
        width_ = info.bmWidth;
        height_ = std::abs(info.bmHeight);
    }
}

void Bitmap::setPixelFormat(PixelFormat format) {
    if (format == format_) return;
    reallocate(format, width_, height_);
}

void Bitmap::setWidth(int width) { setSize(width, height_); }
void Bitmap::setHeight(int height) { setSize(width_, height); }

void Bitmap::setSize(int width, int height) {
    if (width == width_ && height == height_) return;
    reallocate(format_, width, height);
}

int Bitmap::bitsPerPixel() const {
    BITMAP info{};
    if (!bitmap_ || !GetObjectW(bitmap_.get(), sizeof info, &info)) return 0;
    return info.bmBitsPixel * info.bmPlanes;
}

HDC Bitmap::canvas() {
    if (!canvas_) {
        canvas_.reset(CreateCompatibleDC(nullptr));
        if (!canvas_) throw Error(L"Cannot create a drawing surface");
        if (bitmap_) SelectObject(canvas_.get(), bitmap_.get());
    }
    return canvas_.get();
}

void Bitmap::reallocate(PixelFormat format, int width, int height) {
    if (width < 0 || height < 0) throw Error(L"A bitmap cannot have a negative size");
    unique_hbitmap fresh;
    unique_hpalette freshPalette;
    if (width > 0 && height > 0) {
        fresh = createBitmap(format, width, height);
        if (!fresh)
            throw Error(L"Cannot create a bitmap of " + std::to_wstring(width) + L" x " + std::to_wstring(height) +
                        L" pixels");
        if (format == PixelFormat::Device) freshPalette = systemPaletteIfAny();
    }
    // The old bitmap leaves the canvas before it is deleted.
    if (canvas_) {
        if (fresh) SelectObject(canvas_.get(), fresh.get());
        else canvas_.reset();
    }
    bitmap_ = std::move(fresh);
    palette_ = std::move(freshPalette);
    format_ = format;
    width_ = width;
    height_ = height;
}

void Bitmap::readUnselected(const std::function<void(HBITMAP)>& read) const {
    if (!canvas_ || !bitmap_) {
        read(bitmap_.get());
        return;
    }
    const unique_hbitmap placeholder(CreateBitmap(1, 1, 1, 1, nullptr));
    if (!placeholder) throw Error(L"Cannot create a bitmap of 1 x 1 pixels");
    const SelectedObject standIn(canvas_.get(), placeholder.get());  // after the placeholder: undone before it goes
    read(bitmap_.get());
}

void Bitmap::readRows(int bitsPerPixel, const std::function<void(PixelRows&)>& read) const {
    // Only a section made here is known to be bottom-up: Wine reports a top-down one's
    // height as positive too.
    DIBSECTION section{};
    if (format_ == PixelFormat::Bits24 && bitsPerPixel == 24 && bitmap_ &&
        GetObjectW(bitmap_.get(), sizeof section, &section) == sizeof section && section.dsBm.bmBits) {
        GdiFlush();  // drawing still queued for the bitmap lands before its memory is read
        ViewRows rows(bottomUpView(static_cast<const std::uint8_t*>(section.dsBm.bmBits), width_, height_, 24));
        return read(rows);
    }
    readUnselected([&](HBITMAP bitmap) { readDibRows(bitmap, bitsPerPixel, read); });
}

void Bitmap::saveToFile(const std::wstring& path) const {
    FileSink file(path);
    saveToStream(file);
    file.commit();
}

void Bitmap::saveToStream(ByteSink& sink) const {
    if (!empty()) readRows(bitsPerPixel(), [&](PixelRows& rows) { writeBmp(rows, sink); });
}

}  // namespace kadrix
