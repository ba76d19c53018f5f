#include "capture/OutputStage.h"

#include "app/Error.h"
#include "app/ScopeExit.h"
#include "app/Trace.h"
#include "capture/CaptureFormats.h"

namespace kadrix {

namespace {

// Time names repeat within a millisecond and across dates, so a taken name gets the
// next number instead of being replaced.
std::unique_ptr<OutputFile> CreateNumberedFile(OutputServices& services, std::wstring& base,
                                               const std::wstring& extension) {
    constexpr int kMostNumbers = 100000;
    for (int number = 1; number <= kMostNumbers; ++number) {
        std::wstring candidate = NumberedName(base, number);
        if (std::unique_ptr<OutputFile> file = services.CreateNewFile(candidate + extension)) {
            base = std::move(candidate);
            return file;
        }
    }
    throw Error(L"No free file name for " + base + extension);
}

void WriteCapture(const Bitmap& capture, const OptionsRecord& options, OutputServices& services, OutputSlots slots) {
    slots.save_file_name = options.OPT_SavePath + L"\\" + FormatTimeName(services.Now());
    const std::optional<CaptureFormat> format = CaptureFormatOf(options.OPT_IMG_format);
    if (!format) return;
    const std::unique_ptr<OutputFile> file = CreateNumberedFile(services, slots.save_file_name, format->extension);
    switch (format->kind) {
    case FileKind::Bmp:
        capture.saveToStream(*file);
        break;
    case FileKind::Png: {
        const ScopeExit release([&] { slots.png.reset(); });
        slots.png = std::make_unique<TPngImage>();
        slots.png->Assign(capture);
        slots.png->SaveToStream(*file);
        break;
    }
    case FileKind::Jpeg: {
        const ScopeExit release([&] { slots.jpeg.reset(); });
        slots.jpeg = std::make_unique<TJPEGImage>();
        slots.jpeg->Assign(capture);
        slots.jpeg->setCompressionQuality(format->jpeg_quality);
        slots.jpeg->Compress();
        slots.jpeg->SaveToStream(*file);
        break;
    }
    }
    file->commit();
}

}  // namespace

void OutputCapture(const Bitmap& capture, const OptionsRecord& options, OutputServices& services,
                   OutputSlots slots) noexcept {
    if (capture.empty()) return;
    try {
        if (options.OPT_NeedSave) {
            if (!EnsureFolder(options.OPT_SavePath + L"\\", services)) return services.ShowFolderMessage();
            WriteCapture(capture, options, services, slots);
        } else {
            services.PutOnClipboard(capture);
        }
        if (options.OPT_PlaySound) services.PlayCaptureSound();
    } catch (...) {
        TraceError(L"capture output", std::current_exception());
    }
}

}  // namespace kadrix
