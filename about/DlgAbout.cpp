#include "about/DlgAbout.h"

#include <vector>

#include "about/AboutLinks.h"
#include "app/TavikConsts.h"
#include "app/Win32Error.h"
#include "app/ModalResult.h"
#include "app/WindowPlacement.h"
#include "app/WindowText.h"
#include "controls/DialogSkin.h"
#include "controls/Skin.h"
#include "resources/ResourceIds.h"

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
    const std::vector<WORD> frame = FrameTemplate();
    window_.CreateFromTemplate(*reinterpret_cast<const DLGTEMPLATE*>(frame.data()), owner);
}

int TFormAbout::ShowModal() {
    PlaceCentred(handle(), owner_, kAboutClientWidth, kAboutClientHeight);
    return modal_.Run(handle(), ModalKeys::Dialog, [this] {
        ShowWindow(handle(), SW_SHOW);
        SetFocus(GetDlgItem(handle(), idCloseButton));
    });
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
                                       decl.left, decl.top, decl.width, decl.height, handle(),
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(decl.id)), instance, nullptr);
        if (!control) throw Win32Error(L"CreateWindowExW", GetLastError());
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font(decl.font)), FALSE);
        if (decl.kind == AboutKind::Link) links_.push_back(std::make_unique<LinkClick>(control));
    }
    SendMessageW(handle(), DM_SETDEFID, idCloseButton, 0);
}

void TFormAbout::FormCreate() {
    SetText(idProgrammLabel, ProgramName);
    SetText(idVersionLabel, std::wstring(VersionCaption) + L": " + ProgramVersion);
    SetText(idCloseButton, CloseCaption);
    SetText(idAuthorLabel, std::wstring(NoticeCaption) + L": " + NoticeText);
}

// Sets a component's text; a label without a fixed size is fitted to it.
void TFormAbout::SetText(AboutControlId id, const std::wstring& text) {
    HWND control = GetDlgItem(handle(), id);
    SetWindowTextW(control, text.c_str());
    const AboutControlDecl* decl = FindDecl(id);
    if (!decl || decl->width != 0 || decl->height != 0) return;
    WindowDC dc(control);
    SelectedObject selected(dc.get(), Font(decl->font));
    RECT fitted{};
    DrawTextW(dc.get(), text.c_str(), -1, &fitted, TextFormat(decl->kind) | DT_CALCRECT);
    SetWindowPos(control, nullptr, 0, 0, fitted.right, fitted.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Unscaled and centred: what does not fit the client area is cut off evenly.
void TFormAbout::PaintPicture(HDC dc) const {
    BITMAP size{};
    GetObjectW(picture_.get(), sizeof(size), &size);
    RECT client{};
    GetClientRect(handle(), &client);
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
void TFormAbout::CloseButtonClick() { modal_.End(mrCancel); }

void TFormAbout::RunHandler(int id) {
    for (const AboutBinding& binding : kAboutBindings) {
        if (binding.id == id) {
            (this->*binding.handler)();
            return;
        }
    }
}

LRESULT TFormAbout::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        CreateComponents();
        FormCreate();
        return FALSE;  // the focus is set when shown
    case WM_COMMAND:
        // BN_CLICKED and STN_CLICKED are both 0; Enter and Esc arrive the same way.
        if (HIWORD(wparam) == 0) RunHandler(LOWORD(wparam));
        return 0;
    case WM_ERASEBKGND:
        PaintPicture(reinterpret_cast<HDC>(wparam));
        return TRUE;
    case WM_PRINTCLIENT:
        PaintPicture(reinterpret_cast<HDC>(wparam));
        return 0;
    case WM_DRAWITEM:
        DrawLabel(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
        return TRUE;
    case WM_NOTIFY:
        if (const auto drawn = DrawSkinDialogControl(*reinterpret_cast<const NMHDR*>(lparam))) return *drawn;
        break;
    case WM_SETCURSOR:
        if (LOWORD(lparam) == HTCLIENT && SetLinkCursor(reinterpret_cast<HWND>(wparam))) return TRUE;
        break;
    }
    return window_.Default(message, wparam, lparam);
}

}  // namespace kadrix
