#pragma once
// The output stage's services as the program has them: the local clock, the disk,
// the clipboard, "sound.wav" beside the program and a message box over the main window.
#include <windows.h>

#include "capture/OutputServices.h"

namespace kadrix {

class DesktopOutput final : public OutputServices {
public:
    // `owner` owns the clipboard's contents and the folder message, also while hidden.
    explicit DesktopOutput(HWND owner) noexcept : owner_(owner) {}

    bool Exists(const std::wstring& folder) override;
    bool Create(const std::wstring& folder) override;
    LocalTime Now() override;
    // Made with CREATE_NEW, so a file that appears in the meantime is never replaced.
    std::unique_ptr<OutputFile> CreateNewFile(const std::wstring& path) override;
    // The clipboard gets copies of the bitmap and its palette; the capture stays ours.
    // A clipboard another program holds open is asked for again for about a second,
    // while the program's windows go on handling their messages.
    void PutOnClipboard(const Bitmap& capture) override;
    // Played asynchronously; without the file the platform plays its default sound.
    void PlayCaptureSound() override;
    void ShowFolderMessage() override;

private:
    HWND owner_;
};

}  // namespace kadrix
