#pragma once
// The PNG writer object of the output stage: assign a bitmap, then save.
#include <string>

#include "imaging/Bitmap.h"
#include "imaging/ByteSink.h"
#include "imaging/DibPixels.h"

namespace kadrix {

class TPngImage {
public:
    TPngImage() = default;
    // Takes a private copy: 24 bits per pixel, or the bitmap's own count below 16 (indexed).
    void Assign(const Bitmap& bitmap);
    // An empty picture gives an empty file; a failed write leaves no file.
    void SaveToFile(const std::wstring& path) const;
    void SaveToStream(ByteSink& sink) const;

private:
    DibPixels pixels_;
};

}  // namespace kadrix
