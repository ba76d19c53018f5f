// The output stage: every capture ends here, in a file or on the clipboard, then
// the sound. It keeps its errors to itself; only a save folder that cannot be made
// is reported.
#include "app/Main.h"

#include <mmsystem.h>

#include <array>

#include "app/ScopeExit.h"
#include "app/TavikConsts.h"
#include "app/Trace.h"
#include "app/Win32Error.h"
#include "capture/CaptureFormats.h"
#include "capture/FileNames.h"
#include "capture/SaveFolder.h"
#include "capture/TimeName.h"
#include "imaging/JpegImage.h"
#include "imaging/PngImage.h"

namespace kadrix {

namespace {

constexpr const wchar_t* kFolderMessage = L"Не удалось создать путь для сохранения. Измените настройки.";

struct DiskFolders final : FolderOps {
    bool Exists(const std::wstring& folder) override {
        const DWORD attributes = GetFileAttributesW(folder.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    bool Create(const std::wstring& folder) override { return CreateDirectoryW(folder.c_str(), nullptr) != 0; }
};

// The clipboard receives copies: it owns what it is given, the capture stays ours.
void PutOnClipboard(HWND owner, const Bitmap& capture) {
    if (!OpenClipboard(owner)) throw Win32Error(L"OpenClipboard", GetLastError());
    const ScopeExit close([] { CloseClipboard(); });
    EmptyClipboard();
    unique_hbitmap copy(Made(static_cast<HBITMAP>(CopyImage(capture.handle(), IMAGE_BITMAP, 0, 0, 0)), L"CopyImage"));
    if (!SetClipboardData(CF_BITMAP, copy.get())) throw Win32Error(L"SetClipboardData", GetLastError());
    copy.release();
    if (HPALETTE palette = capture.palette()) {
        std::array<std::uint8_t, sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY)> storage{};
        auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
        logical->palVersion = 0x300;
        logical->palNumEntries = static_cast<WORD>(GetPaletteEntries(palette, 0, 256, logical->palPalEntry));
        unique_hpalette palette_copy(CreatePalette(logical));
        if (palette_copy && SetClipboardData(CF_PALETTE, palette_copy.get())) palette_copy.release();
    }
}

std::wstring SoundPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    path.resize(path.find_last_of(L"\\/") + 1);
    return path + L"sound.wav";
}

}  // namespace

std::wstring TMainForm::GetCurrentTimeName() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return FormatTimeName({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds});
}

void TMainForm::SaveCurrentScreen() {
    // A click without a drag selects nothing: there is no picture to put anywhere.
    if (BMPScreen->empty()) return;
    if (OPT_NeedSave) {
        DiskFolders folders;
        if (!EnsureFolder(OPT_SavePath + L"\\", folders)) {
            MessageBoxW(handle(), kFolderMessage, ProgramName, MB_ICONINFORMATION | MB_OK);
            return;
        }
    }
    try {
        if (OPT_NeedSave)
            WriteCaptureFile();
        else
            PutOnClipboard(handle(), *BMPScreen);
        if (OPT_PlaySound) PlaySoundW(SoundPath().c_str(), nullptr, SND_ASYNC);
    } catch (...) {
        // A failed write or a busy clipboard ends the capture silently.
        TraceError(L"capture output", std::current_exception());
    }
}

void TMainForm::WriteCaptureFile() {
    SaveFileName = OPT_SavePath + L"\\" + GetCurrentTimeName();
    const std::optional<CaptureFormat> format = CaptureFormatOf(OPT_IMG_format);
    if (!format) return;  // an unknown format writes nothing, yet the sound still plays
    SaveFileName = ClaimFreeFileName(SaveFileName, format->extension);
    const std::wstring path = SaveFileName + format->extension;
    try {
        switch (format->kind) {
        case FileKind::Bmp:
            BMPScreen->saveToFile(path);
            break;
        case FileKind::Png: {
            const ScopeExit release([this] { PNGImg.reset(); });
            PNGImg = std::make_unique<TPngImage>();
            PNGImg->Assign(*BMPScreen);
            PNGImg->SaveToFile(path);
            break;
        }
        case FileKind::Jpeg: {
            const ScopeExit release([this] { JpegIm.reset(); });
            JpegIm = std::make_unique<TJPEGImage>();
            JpegIm->Assign(*BMPScreen);
            JpegIm->setCompressionQuality(format->jpeg_quality);
            JpegIm->Compress();
            JpegIm->SaveToFile(path);
            break;
        }
        }
    } catch (...) {
        // No truncated or empty picture stays behind under a capture's name.
        DeleteFileW(path.c_str());
        throw;
    }
}

}  // namespace kadrix
