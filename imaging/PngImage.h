#pragma once
// The PNG writer object of the output stage: assign a bitmap, then save.
#include <string>

#include "imaging/Bitmap.h"
#include "imaging/ByteSink.h"

namespace kadrix {

// Keeps a reference to the assigned bitmap instead of a copy of its pixels: the bitmap
// must outlive the writer and stay unchanged until SaveToFile has returned (the output
// stage never changes the capture while a writer exists).
class TPngImage {
public:
    TPngImage() = default;
    void Assign(const Bitmap& bitmap) noexcept { bitmap_ = &bitmap; }
    void Assign(const Bitmap&&) = delete;  // a temporary would be gone before SaveToFile
    // 24-bit truecolour, or the bitmap's own bit count below 16 (indexed). An empty or
    // unassigned picture gives an empty file; a failed write leaves no file.
    void SaveToFile(const std::wstring& path) const;
    void SaveToStream(ByteSink& sink) const;

private:
    const Bitmap* bitmap_ = nullptr;
};

}  // namespace kadrix
