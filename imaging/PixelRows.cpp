#include "imaging/PixelRows.h"

#include <algorithm>

namespace kadrix {

PixelRows::PixelRows(const PictureShape& shape) : shape_(shape) { checkShape(shape); }

ViewRows::ViewRows(const ImageView& view) : PixelRows((checkView(view), view.shape())), view_(view) {}

std::span<const std::uint8_t> ViewRows::dibPixelArray() const {
    if (view_.empty()) return {};
    const std::size_t stride = dibStride(view_.width, view_.bitsPerPixel);
    if (view_.stride != -static_cast<std::ptrdiff_t>(stride)) return {};
    return {view_.row(view_.height - 1), stride * static_cast<std::size_t>(view_.height)};
}

BandedRows::BandedRows(const PictureShape& shape, FetchScans fetch)
    : PixelRows(shape), fetch_(std::move(fetch)), stride_(dibStride(shape.width, shape.bitsPerPixel)) {
    band_.resize(checkedProduct(stride_, static_cast<std::size_t>(std::min(kBandRows, std::max(shape.height, 0)))));
}

const std::uint8_t* BandedRows::row(int y) {
    const int height = shape().height;
    const int scan = height - 1 - y;
    if (scan < first_ || scan >= first_ + count_) {
        // Ahead means away from the last band; the first band goes toward the farther end.
        // A band stops at the picture's edge rather than reach back over rows already read.
        const bool downwards = count_ > 0 ? scan < first_ : scan >= height - 1 - scan;
        const int first = downwards ? std::max(0, scan - kBandRows + 1) : scan;
        const int count = downwards ? scan - first + 1 : std::min(kBandRows, height - scan);
        count_ = 0;  // a failed fetch leaves no band behind
        fetch_(first, count, band_.data());
        first_ = first;
        count_ = count;
    }
    return band_.data() + static_cast<std::size_t>(scan - first_) * stride_;
}

}  // namespace kadrix
