#pragma once
// Each format's minimal encoding of the same rows, with no copy and no writer around it:
// what a writer is measured against.
#include <cstdint>
#include <vector>

#include "imaging/ByteSink.h"
#include "imaging/ImageView.h"

namespace kadrix::bench {

// BMP: the 54 header bytes and the DIB memory as it is, in two writes.
void plainBmp(const ImageView& image, ByteSink& sink);
// PNG: Sub filter and level-7 deflate straight from the rows, CRC-framed 65535-byte IDATs.
void plainPng(const ImageView& image, ByteSink& sink);
// JPEG: libjpeg's float DCT on the blue-green-red rows into its own memory destination.
std::size_t plainJpeg(const ImageView& image, int quality);

}  // namespace kadrix::bench
