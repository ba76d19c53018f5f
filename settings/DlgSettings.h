#pragma once
// The settings dialog: a modal window editing the five options. It knows nothing of
// where the options live; the settings command fills it and copies the values back.
#include <windows.h>

#include <optional>

#include "app/ModalResult.h"
#include "app/ModalRun.h"
#include "app/Window.h"
#include "app/Win32Handles.h"
#include "controls/FieldSkin.h"
#include "settings/OptionsRecord.h"
#include "settings/SettingsLayout.h"

namespace kadrix {

class TFormSetting : private MessageHandler {
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
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    void CreateControls();
    void OnCommand(WORD id, WORD notification);
    void BtnOpenClick();

    HWND owner_;
    unique_hfont font_;
    unique_hbrush field_brush_;
    unique_hbrush background_brush_;
    std::optional<FieldSkin> path_skin_;
    std::optional<FieldSkin> formats_skin_;
    ModalRun modal_;
    Window window_{*this};  // last: destroyed before the font, brushes and skins it uses
};

}  // namespace kadrix
