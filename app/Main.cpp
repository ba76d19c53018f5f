#include "app/Main.h"

#include <commctrl.h>

#include <utility>

#include "app/ErrorBox.h"
#include "app/Hotkeys.h"
#include "app/MainFormControls.h"
#include "app/Win32Error.h"
#include "app/WindowClass.h"
#include "app/WindowPlacement.h"
#include "app/MainFormLayout.h"
#include "app/ModalRun.h"
#include "app/OtherFunc.h"
#include "app/PhysicalPixels.h"
#include "app/ScopeExit.h"
#include "app/TavikConsts.h"
#include "app/TrayMenu.h"
#include "app/WindowInFront.h"
#include "capture/ScreenSettle.h"
#include "controls/Skin.h"
#include "imaging/JpegImage.h"
#include "imaging/PngImage.h"
#include "resources/ResourceIds.h"

namespace kadrix {

TMainForm* MainForm = nullptr;

namespace {

struct CommandBinding {
    Command command;
    void (TMainForm::*handler)();
};

// Event wiring: every trigger of a command (button, menu item, label, hotkey) ends here.
constexpr CommandBinding kCommandBindings[] = {
    {cmdScreen, &TMainForm::BtnScreenClick},
    {cmdActiveWindow, &TMainForm::P_ItemScreenActWindowClickClick},
    {cmdRegion, &TMainForm::P_ItemScreenUserWindowRectClickClick},
    {cmdShowHide, &TMainForm::P_ItemShowHideClick},
    {cmdSettings, &TMainForm::BtnSettingsClick},
    {cmdProgramSite, &TMainForm::N6Click},
    {cmdCompanySite, &TMainForm::N7Click},
    {cmdVkGroup, &TMainForm::PI_VKSiteClick},
    {cmdSupport, &TMainForm::G1Click},
    {cmdAbout, &TMainForm::BtnAboutClick},
    {cmdExit, &TMainForm::N11Click},
};

constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

}  // namespace

TMainForm::TMainForm(HINSTANCE instance)
    : instance_(instance) {
    MainForm = this;
    program_icon_large_.reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                                            GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
    program_icon_small_.reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                                            GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
    background_brush_.reset(CreateSolidBrush(kMainBackgroundColor));
    RegisterWindowClass({.name = kMainWindowClass, .background = background_brush_.get(), .style = CS_DBLCLKS,
                         .icon = program_icon_large_.get(), .small_icon = program_icon_small_.get()});

    window_.Create({.window_class = kMainWindowClass, .style = kMainStyle});
    PlaceCentred(handle(), nullptr, kMainClientWidth, kMainClientHeight);
    DisableTransitions(handle());

    glyphs_ = GlyphList::LoadFromResources(instance);
    background_.reset(static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(IDB_BACKGROUND), IMAGE_BITMAP, 0, 0,
                                                      LR_CREATEDIBSECTION)));
    CreateComponents();
    tray_icon_ = std::make_unique<TrayIcon>(handle(), kTrayIconId, kTrayCallbackMessage, instance, IDI_TRAY,
                                            ApplicationTitle);
    try {
        FormCreate();
    } catch (...) {
        ShowStandardErrorBox(std::current_exception());
    }
}

TMainForm::~TMainForm() { MainForm = nullptr; }

void TMainForm::FormCreate() {
    // A combination another program holds is simply not ours; the buttons still work.
    RegisterHotkeys(handle());
    BMPScreen = std::make_unique<Bitmap>();
    Shower = true;
    LoadOptions();
    SetWindowTextW(handle(), ProgramName);
}

void TMainForm::FormClose() {
    UnregisterHotkeys(handle());
    BMPScreen.reset();
}

void TMainForm::CreateComponents() {
    font_ = CreateSkinFont(kMainFontHeight, FW_NORMAL, false);
    link_font_ = CreateSkinFont(kLinkLabelFontHeight, FW_BOLD, true);
    tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0,
                                0, handle(), nullptr, instance_, nullptr);
    for (const ControlDecl& decl : kMainFormControls) {
        HWND control = nullptr;
        if (decl.kind == ControlKind::ImageButton) {
            BtnScreen = std::make_unique<TTavikImageButton>(handle(), decl.command, decl.left, decl.top,
                                                            LoadButtonPictures(instance_));
            // Through the window procedure, so an error of the capture reaches the error box.
            BtnScreen->OnClick = [this] { SendMessageW(handle(), WM_COMMAND, cmdScreen, 0); };
            control = BtnScreen->handle();
        } else {
            const bool link = decl.kind == ControlKind::LinkLabel;
            control = CreateSkinControl(handle(), decl, link ? link_font_.get() : font_.get());
            if (link) links_.push_back(std::make_unique<LinkClick>(control));
        }
        if (decl.hint && tooltips_) {
            TTTOOLINFOW tool{sizeof(tool)};
            // A hint shows just below the pointer, over its own control: the pointer moved
            // onto it still hovers and clicks that control, instead of the hint taking the
            // input and the control showing that the pointer left.
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS | TTF_TRANSPARENT;
            tool.hwnd = handle();
            tool.uId = reinterpret_cast<UINT_PTR>(control);
            tool.lpszText = const_cast<wchar_t*>(decl.hint);
            SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
}

void TMainForm::Show() {
    ShowWindow(handle(), IsIconic(handle()) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(ModalRun::ForegroundFor(handle()));
}

void TMainForm::ShowAtStart(int show_command) {
    switch (show_command) {
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
        ShowWindow(handle(), show_command);
        break;
    default:  // the window has no maximised or hidden form of its own
        Show();
    }
}

void TMainForm::Hide() { ShowWindow(handle(), SW_HIDE); }

// The window and the hint of the button that was pressed leave the screen, and the
// capture waits until the screen no longer shows them.
void TMainForm::HideForCapture() {
    const PhysicalPixelsScope physical;
    RECT vacated{}, hint{};
    GetWindowRect(handle(), &vacated);
    if (tooltips_ && IsWindowVisible(tooltips_) && GetWindowRect(tooltips_, &hint))
        UnionRect(&vacated, &vacated, &hint);
    const ScreenBeforeHide before(vacated);
    if (tooltips_) SendMessageW(tooltips_, TTM_POP, 0, 0);
    Hide();
    before.WaitUntilGone();
}

void TMainForm::HideAroundCapture(const std::function<void()>& capture) {
    // The window comes back also when the grab fails, before the error box shows.
    // A minimised window comes back minimised: minimising is not hiding. It takes the
    // keyboard only from itself: the user may be typing in another window.
    const bool shown = Shower, minimised = IsIconic(handle()) != FALSE;
    const bool active = InFrontForCommand().program;
    const ScopeExit show_again([&] {
        if (!shown) return;
        if (minimised) ShowWindow(handle(), SW_SHOWMINNOACTIVE);
        else if (active) Show();
        else ShowWindow(handle(), SW_SHOWNA);
    });
    if (shown) HideForCapture();
    capture();
}

void TMainForm::BtnScreenClick() {
    HideAroundCapture([this] { GetScreen(); });
}

void TMainForm::P_ItemScreenActWindowClickClick() {
    HideAroundCapture([this] { ScreenShotActiveWindow(*BMPScreen); });
}

void TMainForm::P_ItemShowHideClick() {
    Shower = !Shower;
    if (Shower) Show();
    else Hide();
}

void TMainForm::N6Click() { OpenURL(ProgramSiteURL); }
void TMainForm::N7Click() { OpenURL(CompanySiteURL); }
void TMainForm::PI_VKSiteClick() { OpenURL(VKGroupURL); }
void TMainForm::G1Click() { OpenURL(SupportURL); }
void TMainForm::N11Click() { SendMessageW(handle(), WM_CLOSE, 0, 0); }

void TMainForm::RunCommand(Command command) {
    for (const CommandBinding& binding : kCommandBindings) {
        if (binding.command == command) {
            (this->*binding.handler)();
            return;
        }
    }
}

TMainForm::InFront TMainForm::InFrontForCommand() const noexcept {
    if (in_front_before_tray_menu_) return *in_front_before_tray_menu_;
    const HWND foreground = GetForegroundWindow();
    return {BelongsToProcess(foreground, GetCurrentProcessId()), UserWindowInFront(foreground, GetCurrentProcessId())};
}

// From the tray, the window the user had in front; otherwise the foreground, once the
// program's window has left the screen.
HWND TMainForm::WindowToCapture() const noexcept {
    if (in_front_before_tray_menu_) return in_front_before_tray_menu_->user_window;
    return GetForegroundWindow();
}

// The menu must take the foreground to close as it should, from the user's window. A
// command chosen there acts on that window, which gets the foreground back when the
// command leaves nothing of the program on screen.
// A menu opened while a dialog chosen from another one runs keeps that one's window.
void TMainForm::RunFromTrayMenu() {
    const InFront in_front = InFrontForCommand();
    const std::optional<InFront> outer = std::exchange(in_front_before_tray_menu_, in_front);
    const ScopeExit restore([&] { in_front_before_tray_menu_ = outer; });
    if (const Command chosen = ChooseFromTrayMenu(handle())) RunCommand(chosen);
    if (in_front.user_window && !ThreadHasWindowOnScreen() &&
        BelongsToProcess(GetForegroundWindow(), GetCurrentProcessId()))
        SetForegroundWindow(in_front.user_window);
}

void TMainForm::WMHotKey(WPARAM id) {
    if (id < static_cast<WPARAM>(kHotkeyCount)) RunCommand(kHotkeyCommands[id]);
}

void TMainForm::OnTrayNotify(UINT mouse_message) {
    switch (mouse_message) {
    case WM_RBUTTONUP:
        RunFromTrayMenu();
        break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        RunCommand(cmdShowHide);
        break;
    }
}

void TMainForm::Paint() {
    PaintScope paint(handle());
    PaintBackground(paint.dc(), background_.get());
}

LRESULT TMainForm::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    if (tray_icon_ && tray_icon_->HandleMessage(message, wparam)) return 0;
    switch (message) {
    case WM_HOTKEY:
        WMHotKey(wparam);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wparam) == 0) RunCommand(static_cast<Command>(LOWORD(wparam)));
        return 0;
    case kTrayCallbackMessage:
        OnTrayNotify(static_cast<UINT>(lparam));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_PRINTCLIENT:
        PaintBackground(reinterpret_cast<HDC>(wparam), background_.get());
        return 0;
    case WM_DRAWITEM:
        return DrawSkinItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lparam), glyphs_, font_.get());
    case WM_MEASUREITEM:
        return MeasureSkinItem(handle(), *reinterpret_cast<MEASUREITEMSTRUCT*>(lparam), font_.get());
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wparam) != handle() && LOWORD(lparam) == HTCLIENT) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));  // every component of this window is clickable
            return TRUE;
        }
        break;
    case WM_CLOSE:
        DestroyWindow(handle());
        return 0;
    case WM_DESTROY:
        FormClose();
        tray_icon_.reset();
        PostQuitMessage(0);
        return 0;
    }
    return window_.Default(message, wparam, lparam);
}

}  // namespace kadrix
