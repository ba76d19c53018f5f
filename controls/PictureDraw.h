#pragma once
#include <windows.h>

#include "imaging/PngReader.h"

namespace kadrix {

// Blends a premultiplied picture over what the device context already holds.
void DrawPicture(HDC dc, int x, int y, const DecodedPicture& image);

// Decodes a PNG picture stored as RCDATA in the program file.
DecodedPicture LoadPngResource(HINSTANCE instance, int resource_id);

}  // namespace kadrix
