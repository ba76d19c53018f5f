#pragma once
// The main window: owner of the capture bitmap and the options, the tray icon, the
// hotkeys, and every command the program runs.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Commands.h"
#include "app/TrayIcon.h"
#include "app/Win32Handles.h"
#include "app/Window.h"
#include "controls/GlyphList.h"
#include "controls/LinkClick.h"
#include "controls/TavikImageButton.h"
#include "imaging/Bitmap.h"
#include "settings/OptionsRecord.h"

namespace kadrix {

class TPngImage;
class TJPEGImage;

class TMainForm : public OptionsRecord, private MessageHandler {
public:
    // Creates the window (running FormCreate); it is shown by the message loop.
    explicit TMainForm(HINSTANCE instance);
    ~TMainForm();
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    HWND handle() const noexcept { return window_.get(); }
    void Show();  // shows the window and brings it to the front
    // The first showing, in the show state the program was started with: a shortcut
    // set to start minimised asks for that. Minimised still counts as shown.
    void ShowAtStart(int show_command);
    void Hide();

    std::unique_ptr<Bitmap> BMPScreen;   // always exactly one bitmap while the window lives
    std::unique_ptr<Bitmap> BMPCursor;   // only during the cursor step of a desktop capture
    std::unique_ptr<TJPEGImage> JpegIm;  // only while a JPEG file is written
    std::unique_ptr<TPngImage> PNGImg;   // only while a PNG file is written

    // Grabbers and output stage.
    void GetScreen();
    void ScreenShotActiveWindow(Bitmap& Bild);
    void SaveCurrentScreen();
    std::wstring GetCurrentTimeName();

    // Options store.
    void LoadOptions();
    void SaveOptions();

    // Commands; one handler per command whatever triggers it.
    void BtnScreenClick();
    void P_ItemScreenActWindowClickClick();
    void P_ItemScreenUserWindowRectClickClick();
    void P_ItemShowHideClick();
    void BtnSettingsClick();
    void N6Click();
    void N7Click();
    void PI_VKSiteClick();
    void G1Click();
    void BtnAboutClick();
    void N11Click();

private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

    void FormCreate();
    void FormClose();
    void WMHotKey(WPARAM id);
    void RunCommand(Command command);
    void RunFromTrayMenu();
    void HideAroundCapture(const std::function<void()>& capture);
    void HideForCapture();

    void CreateComponents();
    void OnTrayNotify(UINT mouse_message);
    void Paint();

    std::wstring SaveFileName;
    bool Shower = false;

    // What was in front when a command started: the program, or the user's window. For a
    // command chosen from the tray, before the menu took the foreground.
    struct InFront {
        bool program = false;
        HWND user_window = nullptr;
    };
    InFront InFrontForCommand() const noexcept;
    HWND WindowToCapture() const noexcept;
    std::optional<InFront> in_front_before_tray_menu_;  // while a command chosen there runs

    HINSTANCE instance_;
    HWND tooltips_ = nullptr;  // owned by the window, destroyed with it
    GlyphList glyphs_;
    unique_hbitmap background_;
    unique_hfont font_;
    unique_hfont link_font_;
    unique_hbrush background_brush_;
    std::unique_ptr<TTavikImageButton> BtnScreen;
    std::vector<std::unique_ptr<LinkClick>> links_;
    std::unique_ptr<TrayIcon> tray_icon_;
    unique_hicon program_icon_large_;
    unique_hicon program_icon_small_;
    Window window_{*this};  // last: the window goes first, while everything it uses still lives
};

// The application's single main window.
extern TMainForm* MainForm;

}  // namespace kadrix
