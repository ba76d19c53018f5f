#pragma once
// The output stage: every capture ends here, in a file or on the clipboard, then the
// sound. It keeps its errors to itself; only a save folder that cannot be made is
// reported to the user.
#include <memory>
#include <string>

#include "capture/OutputServices.h"
#include "imaging/Bitmap.h"
#include "imaging/JpegImage.h"
#include "imaging/PngImage.h"
#include "settings/OptionsRecord.h"

namespace kadrix {

// What the stage keeps in the main window: the last file's name without extension
// (kept when a write fails), and the writer objects, which hold something only while
// their file is written.
struct OutputSlots {
    std::wstring& save_file_name;
    std::unique_ptr<TPngImage>& png;
    std::unique_ptr<TJPEGImage>& jpeg;
};

// An empty capture (a click without a drag) does nothing. A file is named after the
// time, numbered when the name is taken; an unknown format index writes nothing, yet
// the sound plays. Failures after the folder step end the stage silently, without the
// sound and without a partial file, and are traced.
void OutputCapture(const Bitmap& capture, const OptionsRecord& options, OutputServices& services,
                   OutputSlots slots) noexcept;

}  // namespace kadrix
