#include "imaging/JpegWriter.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <new>
#include <string>

#include <jpeglib.h>
#include <jerror.h>

#include "app/Error.h"
#include "app/ScopeExit.h"

namespace kadrix {

namespace {

constexpr std::size_t kInitialOutputBytes = 64 * 1024;

// libjpeg reports errors through longjmp here; no C++ object with a destructor lives
// between setjmp and the jump, so unwinding stays well-defined.
struct ErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void onError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorTrap*>(info->err)->jump, 1);
}
void onMessage(j_common_ptr, int) {}
void onOutput(j_common_ptr) {}

// A growable destination: the buffer doubles whenever libjpeg fills it.
struct VectorDestination {
    jpeg_destination_mgr manager;
    JpegBytes* bytes;
};

// An exception must not cross libjpeg's C frames: a failed allocation becomes its own error.
void resizeOrFail(j_compress_ptr info, JpegBytes& bytes, std::size_t size) {
    bool resized = true;
    try {
        bytes.resize(size);
    } catch (const std::bad_alloc&) {
        resized = false;
    }
    if (!resized) ERREXIT(info, JERR_OUT_OF_MEMORY);
}

void startDestination(j_compress_ptr info) {
    auto* destination = reinterpret_cast<VectorDestination*>(info->dest);
    resizeOrFail(info, *destination->bytes, kInitialOutputBytes);
    destination->manager.next_output_byte = destination->bytes->data();
    destination->manager.free_in_buffer = destination->bytes->size();
}

boolean growDestination(j_compress_ptr info) {
    auto* destination = reinterpret_cast<VectorDestination*>(info->dest);
    JpegBytes& bytes = *destination->bytes;
    const std::size_t used = bytes.size();  // libjpeg calls this only with the buffer full
    resizeOrFail(info, bytes, used * 2);
    destination->manager.next_output_byte = bytes.data() + used;
    destination->manager.free_in_buffer = bytes.size() - used;
    return TRUE;
}

void endDestination(j_compress_ptr info) {
    auto* destination = reinterpret_cast<VectorDestination*>(info->dest);
    destination->bytes->resize(destination->bytes->size() - destination->manager.free_in_buffer);
}

// Returns libjpeg's message code, or 0 on success. Plain C inside (see ErrorTrap); an error
// thrown while a row is read leaves by unwinding, and the caller destroys the compressor.
int encode(jpeg_compress_struct& info, ErrorTrap& trap, jpeg_destination_mgr& destination, PixelRows& rows,
           int quality) {
    const PictureShape& image = rows.shape();
    if (setjmp(trap.jump)) return trap.manager.msg_code != 0 ? trap.manager.msg_code : -1;
    jpeg_create_compress(&info);
    info.dest = &destination;
    info.image_width = static_cast<JDIMENSION>(image.width);
    info.image_height = static_cast<JDIMENSION>(image.height);
    // The capture's own rows go in as they are: libjpeg-turbo reads blue-green-red
    // order itself, with the same arithmetic as for red-green-blue rows.
    const bool spare_byte = image.bitsPerPixel == 32;
    info.input_components = spare_byte ? 4 : 3;
    info.in_color_space = spare_byte ? JCS_EXT_BGRX : JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    info.dct_method = JDCT_FLOAT;
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);

    for (int y = 0; y < image.height; ++y) {
        JSAMPROW row = const_cast<JSAMPROW>(rows.row(y));  // libjpeg only reads its input
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    return 0;
}

}  // namespace

JpegBytes compressJpeg(PixelRows& rows, int quality) {
    const PictureShape& image = rows.shape();
    if (image.empty()) return {};
    if (image.bitsPerPixel != 24 && image.bitsPerPixel != 32)
        throw Error(L"JPEG: pixels must be converted to 24 bits first");

    JpegBytes bytes;

    ErrorTrap trap{};
    jpeg_compress_struct info{};
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = onError;
    trap.manager.emit_message = onMessage;
    trap.manager.output_message = onOutput;
    const ScopeExit destroy([&] { jpeg_destroy_compress(&info); });  // harmless on a never-created one

    VectorDestination destination{{}, &bytes};
    destination.manager.init_destination = startDestination;
    destination.manager.empty_output_buffer = growDestination;
    destination.manager.term_destination = endDestination;

    if (const int code = encode(info, trap, destination.manager, rows, quality))
        throw Error(L"JPEG error #" + std::to_wstring(code));
    return bytes;
}

}  // namespace kadrix
