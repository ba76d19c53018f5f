#include "capture/DesktopOutput.h"

#include <mmsystem.h>

#include <array>
#include <chrono>

#include "app/ModalRun.h"
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

// Runs the thread's messages for up to `time` through the program's one loop, so that
// its windows keep answering while it waits; a command they start meanwhile runs in
// full. A thread timer brings the message that ends the wait. False once the program
// is asked to end, which is left to the main loop.
bool RunMessagesFor(std::chrono::milliseconds time) {
    const auto end = std::chrono::steady_clock::now() + time;
    const UINT_PTR timer = SetTimer(nullptr, 0, static_cast<UINT>(time.count()), nullptr);
    if (!timer) return true;  // nothing would end the wait: the next try comes at once
    const ScopeExit kill([timer] { KillTimer(nullptr, timer); });
    int quit_code = 0;
    if (!PumpMessages(nullptr, [end] { return std::chrono::steady_clock::now() >= end; }, quit_code)) return true;
    PostQuitMessage(quit_code);
    return false;
}

// Clipboard history, clipboard managers and remote-desktop clipboard sharing hold the
// clipboard open for moments: it is asked for again until it has been refused this long.
constexpr std::chrono::milliseconds kClipboardPatience{1000};
constexpr std::chrono::milliseconds kClipboardRetry{25};

void OpenClipboardWhenFree(HWND owner) {
    const auto give_up = std::chrono::steady_clock::now() + kClipboardPatience;
    while (!OpenClipboard(owner)) {
        const DWORD error = GetLastError();
        if (std::chrono::steady_clock::now() >= give_up || !RunMessagesFor(kClipboardRetry))
            throw Win32Error(L"OpenClipboard", error);
    }
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
    // Copied before the clipboard is emptied, so a copy that fails costs the user nothing,
    // and before the wait for the clipboard, during which another command may replace the capture.
    unique_hbitmap copy(Made(static_cast<HBITMAP>(CopyImage(capture.handle(), IMAGE_BITMAP, 0, 0, 0)), L"CopyImage"));
    unique_hpalette palette_copy;
    if (HPALETTE palette = capture.palette()) {
        std::array<std::uint8_t, sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY)> storage{};
        auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
        logical->palVersion = 0x300;
        logical->palNumEntries = static_cast<WORD>(GetPaletteEntries(palette, 0, 256, logical->palPalEntry));
        palette_copy.reset(CreatePalette(logical));
    }
    OpenClipboardWhenFree(owner_);
    const ScopeExit close([] { CloseClipboard(); });
    EmptyClipboard();
    if (!SetClipboardData(CF_BITMAP, copy.get())) throw Win32Error(L"SetClipboardData", GetLastError());
    copy.release();
    if (palette_copy && SetClipboardData(CF_PALETTE, palette_copy.get())) palette_copy.release();
}

void DesktopOutput::PlayCaptureSound() { PlaySoundW(SoundPath().c_str(), nullptr, SND_ASYNC); }

void DesktopOutput::ShowFolderMessage() { MessageBoxW(owner_, kFolderMessage, ProgramName, MB_ICONINFORMATION | MB_OK); }

}  // namespace kadrix
