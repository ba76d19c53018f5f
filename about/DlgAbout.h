#pragma once
// The About dialog: the program's name, version and notice over its picture, two web
// links and a close button. A new one is built for every opening.
#include <windows.h>

#include <exception>
#include <optional>
#include <string>

#include "about/AboutLayout.h"
#include "app/ModalScope.h"
#include "app/Win32Handles.h"

namespace kadrix {

class TFormAbout {
public:
    explicit TFormAbout(HWND owner);
    TFormAbout(const TFormAbout&) = delete;
    TFormAbout& operator=(const TFormAbout&) = delete;

    // Runs the modal loop (the owner is disabled meanwhile); returns the modal result.
    INT_PTR ShowModal();

    void SiteLabelClick();
    void SupportLabelClick();
    void CloseButtonClick();

private:
    static INT_PTR CALLBACK DialogProcThunk(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
    INT_PTR DialogProc(UINT message, WPARAM wparam, LPARAM lparam) noexcept;

    void CreateComponents();
    void FormCreate();
    void SetText(AboutControlId id, const std::wstring& text);
    void PlaceOverOwner();
    void PaintPicture(HDC dc) const;
    void DrawLabel(const DRAWITEMSTRUCT& item) const;
    bool SetLinkCursor(HWND control) const;
    void RunHandler(int id);
    HFONT Font(AboutFont font) const { return fonts_[static_cast<int>(font)].get(); }

    HWND owner_;
    HWND window_ = nullptr;
    unique_hbitmap picture_;
    unique_hfont fonts_[4];  // indexed by AboutFont
    std::exception_ptr error_;
    std::optional<ModalScope> others_;  // while the dialog runs
};

}  // namespace kadrix
