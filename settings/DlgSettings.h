#pragma once
// The settings dialog: a modal window editing the five options. It knows nothing of
// where the options live; the settings command fills it and copies the values back.
#include <windows.h>

#include <exception>

#include "app/ModalResult.h"
#include "app/Win32Handles.h"
#include "settings/OptionsRecord.h"
#include "settings/SettingsLayout.h"

namespace kadrix {

class TFormSetting {
public:
    // Creates the dialog, hidden, with all its controls.
    explicit TFormSetting(HWND owner);
    TFormSetting(const TFormSetting&) = delete;
    TFormSetting& operator=(const TFormSetting&) = delete;

    HWND handle() const noexcept { return window_.get(); }
    HWND Control(SettingsControl id) const noexcept { return GetDlgItem(window_.get(), id); }

    void Fill(const OptionsRecord& options);
    void CopyTo(OptionsRecord& options) const;

    // Shows the dialog over its owner, disables the owner, and runs the dialog's own
    // message loop until "Сохранить" (mrOk), "Закрыть" or the close box (mrCancel).
    // An error in one of the dialog's handlers ends the loop and is thrown from here.
    int ShowModal();

    // The settings dialog of this thread owned by `owner` that is open now, if any.
    static HWND FindOpen(HWND owner);

private:
    static INT_PTR CALLBACK DialogProcThunk(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
    INT_PTR DialogProc(UINT message, WPARAM wparam, LPARAM lparam);
    void CreateControls();
    void PlaceOverOwner();
    void OnCommand(WORD id, WORD notification);
    void BtnOpenClick();

    HWND owner_;
    unique_hfont font_;
    unique_hbrush field_brush_;
    unique_hbrush background_brush_;
    unique_hwnd window_;  // declared last: destroyed before the font and brushes it uses
    int ModalResult = 0;
    std::exception_ptr error_;  // from a handler, for ShowModal to throw
};

}  // namespace kadrix
