#pragma once
// Where an encoder reads a picture from, one row at a time: memory it borrows as it is,
// or bands of a few rows fetched on demand, so no writer needs a copy of the whole frame.
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "imaging/ImageView.h"

namespace kadrix {

class PixelRows {
public:
    PixelRows(const PixelRows&) = delete;
    PixelRows& operator=(const PixelRows&) = delete;

    const PictureShape& shape() const noexcept { return shape_; }
    // Image row y (0 is the top row) in the shape's pixel format, packedRowBytes long;
    // valid until the next call.
    virtual const std::uint8_t* row(int y) = 0;
    // The whole pixel array as a bottom-up DIB stores it (rows dibStride apart, bottom row
    // first), when the memory is laid out exactly so; otherwise empty.
    virtual std::span<const std::uint8_t> dibPixelArray() const { return {}; }

protected:
    explicit PixelRows(const PictureShape& shape);  // throws kadrix::Error for an invalid shape
    ~PixelRows() = default;

private:
    PictureShape shape_;
};

// Rows read in place from memory the picture already lives in.
class ViewRows final : public PixelRows {
public:
    explicit ViewRows(const ImageView& view);  // throws kadrix::Error for an invalid view
    const std::uint8_t* row(int y) override { return view_.row(y); }
    std::span<const std::uint8_t> dibPixelArray() const override;

private:
    ImageView view_;
};

// Puts `count` DIB scan lines from scan `first` (scan 0 is the bottom image row) into `out`,
// bottom row first, dibStride apart, as GetDIBits does; throws kadrix::Error when it cannot.
using FetchScans = std::function<void(int first, int count, std::uint8_t* out)>;

// Rows of a picture whose memory cannot be read directly, fetched kBandRows at a time into
// one band buffer. The band reaches ahead in the direction the rows are asked for, so
// top-down and bottom-up readers fetch every row once.
class BandedRows final : public PixelRows {
public:
    static constexpr int kBandRows = 16;

    BandedRows(const PictureShape& shape, FetchScans fetch);
    const std::uint8_t* row(int y) override;

private:
    FetchScans fetch_;
    std::size_t stride_;
    std::vector<std::uint8_t> band_;
    int first_ = 0;  // first scan held in the band
    int count_ = 0;  // scans held; 0 before the first fetch
};

}  // namespace kadrix
