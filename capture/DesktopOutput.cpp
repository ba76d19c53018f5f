#include "capture/DesktopOutput.h"

#include <mmsystem.h>

#include <array>

#include "app/ScopeExit.h"
#include "app/TavikConsts.h"
#include "app/Win32Error.h"
#include "app/Win32Handles.h"
#include "imaging/Bitmap.h"
#include "imaging/FileSink.h"

namespace kadrix {

namespace {

constexpr const wchar_t* kFolderMessage = L"Не удалось создать путь для сохранения. Измените настройки.";

class NewFile final : public OutputFile {
public:
    explicit NewFile(const std::wstring& path) : sink_(path, FileCreation::OnlyNew) {}
    void write(std::span<const std::uint8_t> bytes) override { sink_.write(bytes); }
    void commit() override { sink_.commit(); }

private:
    FileSink sink_;  // removes the file unless committed
};

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

bool DesktopOutput::Exists(const std::wstring& folder) {
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DesktopOutput::Create(const std::wstring& folder) { return CreateDirectoryW(folder.c_str(), nullptr) != 0; }

LocalTime DesktopOutput::Now() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

std::unique_ptr<OutputFile> DesktopOutput::CreateNewFile(const std::wstring& path) {
    try {
        return std::make_unique<NewFile>(path);
    } catch (const Win32Error& error) {
        if (error.code() == ERROR_FILE_EXISTS || error.code() == ERROR_ALREADY_EXISTS) return nullptr;
        throw;
    }
}

void DesktopOutput::PutOnClipboard(const Bitmap& capture) {
    // Copied before the clipboard is emptied, so a copy that fails costs the user nothing.
    unique_hbitmap copy(Made(static_cast<HBITMAP>(CopyImage(capture.handle(), IMAGE_BITMAP, 0, 0, 0)), L"CopyImage"));
    if (!OpenClipboard(owner_)) throw Win32Error(L"OpenClipboard", GetLastError());
    const ScopeExit close([] { CloseClipboard(); });
    EmptyClipboard();
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

void DesktopOutput::PlayCaptureSound() { PlaySoundW(SoundPath().c_str(), nullptr, SND_ASYNC); }

void DesktopOutput::ShowFolderMessage() { MessageBoxW(owner_, kFolderMessage, ProgramName, MB_ICONINFORMATION | MB_OK); }

}  // namespace kadrix
