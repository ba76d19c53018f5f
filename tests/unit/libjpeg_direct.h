#pragma once
// libjpeg called directly, into its own memory destination: what the JPEG writer is held to
// in the tests (same bytes) and in the benchmark (same speed).
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <cstdint>
#include <cstdlib>

#include <jpeglib.h>

#include "imaging/JpegBytes.h"

namespace kadrix::test {

// `row(y)` gives image row y (0 is the top) in `space`'s byte order; `keep`, when given,
// receives the stream. Returns the stream's length.
template <typename Row>
std::size_t libjpegDirect(int width, int height, J_COLOR_SPACE space, int quality, J_DCT_METHOD dct, Row&& row,
                          JpegBytes* keep = nullptr) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    info.dct_method = dct;
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    for (int y = 0; y < height; ++y) {
        JSAMPROW rows[] = {const_cast<JSAMPROW>(row(y))};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    if (keep) keep->assign(buffer, buffer + size);
    std::free(buffer);
    return size;
}

}  // namespace kadrix::test
