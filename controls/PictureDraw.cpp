#include "controls/PictureDraw.h"

#include <cstring>
#include <span>

#include "app/Error.h"
#include "app/Win32Handles.h"

namespace kadrix {

void DrawPicture(HDC dc, int x, int y, const DecodedPicture& image) {
    if (image.width <= 0 || image.height <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    unique_hbitmap bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    unique_hdc source(CreateCompatibleDC(dc));
    if (!bitmap || !source) return;
    std::memcpy(bits, image.bgra.data(), image.bgra.size());
    SelectedObject selected(source.get(), bitmap.get());
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, x, y, image.width, image.height, source.get(), 0, 0, image.width, image.height, blend);
}

DecodedPicture LoadPngResource(HINSTANCE instance, int resource_id) {
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(resource_id), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) throw Error(L"Picture resource " + std::to_wstring(resource_id) + L" is missing");
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return decodePng(std::span(bytes, SizeofResource(instance, resource)));
}

}  // namespace kadrix
