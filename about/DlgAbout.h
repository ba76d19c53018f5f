#pragma once
// The About dialog: the program's name, version and notice over its picture, two web
// links and a close button. A new one is built for every opening.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "about/AboutLayout.h"
#include "app/ModalRun.h"
#include "app/Win32Handles.h"
#include "app/Window.h"
#include "controls/LinkClick.h"

namespace kadrix {

class TFormAbout : private MessageHandler {
public:
    explicit TFormAbout(HWND owner);
    TFormAbout(const TFormAbout&) = delete;
    TFormAbout& operator=(const TFormAbout&) = delete;

    HWND handle() const noexcept { return window_.get(); }

    // Runs the modal loop (every other window is disabled meanwhile); returns the modal result.
    int ShowModal();

    void SiteLabelClick();
    void SupportLabelClick();
    void CloseButtonClick();

private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

    void CreateComponents();
    void FormCreate();
    void SetText(AboutControlId id, const std::wstring& text);
    void PaintPicture(HDC dc) const;
    void DrawLabel(const DRAWITEMSTRUCT& item) const;
    bool SetLinkCursor(HWND control) const;
    void RunHandler(int id);
    HFONT Font(AboutFont font) const { return fonts_[static_cast<int>(font)].get(); }

    HWND owner_;
    unique_hbitmap picture_;
    unique_hfont fonts_[4];  // indexed by AboutFont
    std::vector<std::unique_ptr<LinkClick>> links_;
    ModalRun modal_;
    Window window_{*this};  // last: destroyed before the picture, fonts and links it uses
};

}  // namespace kadrix
