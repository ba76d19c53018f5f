#include "about/DlgAbout.h"

#include <vector>

#include "about/AboutLinks.h"
#include "app/TavikConsts.h"
#include "app/Win32Error.h"
#include "app/WindowText.h"
#include "controls/DialogSkin.h"
#include "controls/LinkClick.h"
#include "controls/Skin.h"
#include "resources/ResourceIds.h"
#include "settings/DialogPlacement.h"

namespace kadrix {

namespace {

constexpr DWORD kFrameStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN;
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kNavy = RGB(0, 0, 128);

struct AboutBinding {
    AboutControlId id;
    void (TFormAbout::*handler)();
};

// Event wiring: clicks on the links and the close button (also Enter, Esc and the close box).
constexpr AboutBinding kAboutBindings[] = {
    {idSiteLabel, &TFormAbout::SiteLabelClick},
    {idSupportLabel, &TFormAbout::SupportLabelClick},
    {idCloseButton, &TFormAbout::CloseButtonClick},
};

const AboutControlDecl* FindDecl(int id) {
    for (const AboutControlDecl& decl : kAboutControls)
        if (decl.id == id) return &decl;
    return nullptr;
}

// The frame only: the components are created from the form description afterwards, in
// pixels, and the client area is sized then.
std::vector<WORD> FrameTemplate() {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD));
    reinterpret_cast<DLGTEMPLATE*>(words.data())->style = kFrameStyle;
    words.push_back(0);  // no menu
    words.push_back(0);  // the standard dialog class
    for (const wchar_t* letter = kAboutCaption; *letter; ++letter) words.push_back(*letter);
    words.push_back(0);
    return words;
}

unique_hfont CreateAboutFont(AboutFont font) {
    const bool name = font == AboutFont::Name;
    const bool link = font == AboutFont::Link;
    return unique_hfont(CreateFontW(name ? -16 : -13, 0, 0, 0, name || link ? FW_BOLD : FW_NORMAL, FALSE, link, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                    DEFAULT_PITCH | FF_SWISS, name ? L"Arial" : L"Tahoma"));
}

COLORREF TextColour(AboutFont font) {
    switch (font) {
    case AboutFont::Window: return GetSysColor(COLOR_WINDOWTEXT);
    case AboutFont::Link: return kNavy;
    default: return kBlack;
    }
}

UINT TextFormat(AboutKind kind) {
    switch (kind) {
    case AboutKind::WrappedLabel: return DT_LEFT | DT_WORDBREAK | DT_NOPREFIX;
    case AboutKind::Link: return DT_CENTER | DT_SINGLELINE | DT_NOPREFIX;
    default: return DT_LEFT | DT_SINGLELINE | DT_NOPREFIX;
    }
}

}  // namespace

TFormAbout::TFormAbout(HWND owner) : owner_(owner) {
    picture_.reset(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_ABOUT), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!picture_) throw Win32Error(L"LoadImageW", GetLastError());
    for (AboutFont font : {AboutFont::Window, AboutFont::Name, AboutFont::Text, AboutFont::Link})
        fonts_[static_cast<int>(font)] = CreateAboutFont(font);
}

INT_PTR TFormAbout::ShowModal() {
    const std::vector<WORD> frame = FrameTemplate();
    // The owner is disabled already, so the dialog box leaves its enabling to the scope.
    others_.emplace();
    const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                                   reinterpret_cast<const DLGTEMPLATE*>(frame.data()), owner_,
                                                   &TFormAbout::DialogProcThunk, reinterpret_cast<LPARAM>(this));
    const DWORD error = GetLastError();
    others_.reset();
    if (error_) std::rethrow_exception(error_);
    if (result == -1) throw Win32Error(L"DialogBoxIndirectParamW", error);
    return result;
}

void TFormAbout::CreateComponents() {
    const auto instance = GetModuleHandleW(nullptr);
    for (const AboutControlDecl& decl : kAboutControls) {
        const bool button = decl.kind == AboutKind::CloseButton;
        // Clipped to what their siblings leave free: see-through labels paint the picture
        // under them first, and the text block's box reaches into the links' row.
        const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS |
                            (button ? WS_TABSTOP | BS_DEFPUSHBUTTON
                                    : SS_OWNERDRAW | (decl.kind == AboutKind::Link ? SS_NOTIFY : 0));
        HWND control = CreateWindowExW(0, button ? L"BUTTON" : L"STATIC", decl.text ? decl.text : L"", style,
                                       decl.left, decl.top, decl.width, decl.height, window_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(decl.id)), instance, nullptr);
        if (!control) throw Win32Error(L"CreateWindowExW", GetLastError());
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font(decl.font)), FALSE);
        if (decl.kind == AboutKind::Link) ClickOnRelease(control);
    }
    SendMessageW(window_, DM_SETDEFID, idCloseButton, 0);
}

void TFormAbout::FormCreate() {
    SetText(idProgrammLabel, ProgramName);
    SetText(idVersionLabel, std::wstring(VersionCaption) + L": " + ProgramVersion);
    SetText(idCloseButton, CloseCaption);
    SetText(idAuthorLabel, std::wstring(NoticeCaption) + L": " + NoticeText);
}

// Sets a component's text; a label without a fixed size is fitted to it.
void TFormAbout::SetText(AboutControlId id, const std::wstring& text) {
    HWND control = GetDlgItem(window_, id);
    SetWindowTextW(control, text.c_str());
    const AboutControlDecl* decl = FindDecl(id);
    if (!decl || decl->width != 0 || decl->height != 0) return;
    WindowDC dc(control);
    SelectedObject selected(dc.get(), Font(decl->font));
    RECT fitted{};
    DrawTextW(dc.get(), text.c_str(), -1, &fitted, TextFormat(decl->kind) | DT_CALCRECT);
    SetWindowPos(control, nullptr, 0, 0, fitted.right, fitted.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFormAbout::PlaceOverOwner() {
    RECT frame{0, 0, kAboutClientWidth, kAboutClientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(window_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(window_, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT owner{};
    GetWindowRect(owner_, &owner);
    MONITORINFO monitor{sizeof(monitor)};
    GetMonitorInfoW(MonitorFromWindow(owner_, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const Position place = CentredOver({owner.left, owner.top, owner.right, owner.bottom}, width, height,
                                       {work.left, work.top, work.right, work.bottom});
    SetWindowPos(window_, nullptr, place.left, place.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Unscaled and centred: what does not fit the client area is cut off evenly.
void TFormAbout::PaintPicture(HDC dc) const {
    BITMAP size{};
    GetObjectW(picture_.get(), sizeof(size), &size);
    RECT client{};
    GetClientRect(window_, &client);
    unique_hdc source(CreateCompatibleDC(dc));
    SelectedObject selected(source.get(), picture_.get());
    // Integer halves of negative differences: the odd cropped pixel goes right and down.
    BitBlt(dc, (client.right - size.bmWidth) / 2, (client.bottom - size.bmHeight) / 2, size.bmWidth, size.bmHeight,
           source.get(), 0, 0, SRCCOPY);
}

// Labels are see-through: the picture under them first, then their text.
void TFormAbout::DrawLabel(const DRAWITEMSTRUCT& item) const {
    const AboutControlDecl* decl = FindDecl(static_cast<int>(item.CtlID));
    if (!decl) return;
    DrawOverParent(item, [&](HDC dc, const RECT& area) {
        SelectedObject selected_font(dc, Font(decl->font));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, TextColour(decl->font));
        RECT text_area = area;
        DrawTextW(dc, WindowText(item.hwndItem).c_str(), -1, &text_area, TextFormat(decl->kind));
    });
}

bool TFormAbout::SetLinkCursor(HWND control) const {
    const AboutControlDecl* decl = FindDecl(GetDlgCtrlID(control));
    if (!decl || decl->kind != AboutKind::Link) return false;
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
}

void TFormAbout::SiteLabelClick() { OpenQuotedAddress(ProgramSiteURL); }
void TFormAbout::SupportLabelClick() { OpenQuotedAddress(SupportURL); }
void TFormAbout::CloseButtonClick() {
    // Back before the dialog goes, so that activation returns to the window under it.
    if (others_) others_->End();
    EndDialog(window_, IDCANCEL);
}

void TFormAbout::RunHandler(int id) {
    for (const AboutBinding& binding : kAboutBindings) {
        if (binding.id == id) {
            (this->*binding.handler)();
            return;
        }
    }
}

INT_PTR CALLBACK TFormAbout::DialogProcThunk(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
    if (message == WM_INITDIALOG) {
        auto* form = reinterpret_cast<TFormAbout*>(lparam);
        form->window_ = window;
        SetWindowLongPtrW(window, DWLP_USER, lparam);
    }
    auto* form = reinterpret_cast<TFormAbout*>(GetWindowLongPtrW(window, DWLP_USER));
    return form ? form->DialogProc(message, wparam, lparam) : FALSE;
}

// Errors must not unwind through the system's dialog code: the dialog ends and
// ShowModal raises them in the command that opened it.
INT_PTR TFormAbout::DialogProc(UINT message, WPARAM wparam, LPARAM lparam) noexcept {
    try {
        switch (message) {
        case WM_INITDIALOG:
            CreateComponents();
            FormCreate();
            PlaceOverOwner();
            // The components did not exist when the system chose the first focus.
            SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window_, idCloseButton)), TRUE);
            return FALSE;
        case WM_COMMAND:
            // BN_CLICKED and STN_CLICKED are both 0; Enter and Esc arrive the same way.
            if (HIWORD(wparam) == 0) RunHandler(LOWORD(wparam));
            return TRUE;
        case WM_ERASEBKGND:
            PaintPicture(reinterpret_cast<HDC>(wparam));
            SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_PRINTCLIENT:
            PaintPicture(reinterpret_cast<HDC>(wparam));
            return TRUE;
        case WM_DRAWITEM:
            DrawLabel(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
            return TRUE;
        case WM_NOTIFY:
            return DrawSkinDialogControl(window_, *reinterpret_cast<const NMHDR*>(lparam));
        case WM_SETCURSOR:
            if (LOWORD(lparam) == HTCLIENT && SetLinkCursor(reinterpret_cast<HWND>(wparam))) {
                SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
                return TRUE;
            }
            return FALSE;
        }
    } catch (...) {
        error_ = std::current_exception();
        EndDialog(window_, IDABORT);
        return TRUE;
    }
    return FALSE;
}

}  // namespace kadrix
