#include "settings/DlgSettings.h"

#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/WindowPlacement.h"
#include "app/Win32Error.h"
#include "app/WindowClass.h"
#include "app/WindowText.h"
#include "controls/DialogSkin.h"
#include "controls/FieldSkin.h"
#include "controls/Skin.h"
#include "controls/SkinPalette.h"
#include "settings/Shobjidl.h"

namespace kadrix {

namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN;
constexpr int kFormatListDropHeight = 200;

// An in-memory template of the bare frame (no controls: they come from the table in
// client pixels). DLGTEMPLATE, then menu none, the class name and the caption.
std::vector<WORD> FrameTemplate() {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD));
    DLGTEMPLATE frame{};
    frame.style = kDialogStyle;
    std::memcpy(words.data(), &frame, sizeof(frame));
    words.push_back(0);
    for (const wchar_t* text : {kSettingsWindowClass, kSettingsCaption}) {
        for (const wchar_t* c = text; *c; ++c) words.push_back(static_cast<WORD>(*c));
        words.push_back(0);
    }
    return words;
}

struct ControlClass {
    const wchar_t* window_class;
    DWORD style;
};

ControlClass ClassOf(SettingsControlKind kind) {
    switch (kind) {
    case SettingsControlKind::CheckBox:
        return {WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP};
    case SettingsControlKind::Label:
        return {WC_STATICW, SS_LEFTNOWORDWRAP | SS_CENTERIMAGE | SS_NOPREFIX};
    case SettingsControlKind::Edit:
        return {WC_EDITW, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP};
    case SettingsControlKind::Button:
        return {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP};
    case SettingsControlKind::FormatList:
        return {WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP};
    }
    return {WC_STATICW, 0};
}

// A drop-down list sizes its closed face from its font; bring it to the declared height.
// The field height read back need not be the one that was set, so correct by measuring.
void FitClosedHeight(HWND list, int height) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT face{};
        GetWindowRect(list, &face);
        const int error = height - (face.bottom - face.top);
        const LRESULT field = SendMessageW(list, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
        if (error == 0 || field == CB_ERR) return;
        SendMessageW(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field + error);
    }
}

bool Checked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void SetChecked(HWND box, bool checked) { SendMessageW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0); }

}  // namespace

TFormSetting::TFormSetting(HWND owner)
    : owner_(owner),
      font_(CreateSkinFont(kSettingsFontHeight, FW_NORMAL, false)),
      field_brush_(CreateSolidBrush(kSettingsFieldColor)),
      background_brush_(CreateSolidBrush(kSkinLightBackground)) {
    RegisterWindowClass({.name = kSettingsWindowClass, .procedure = DefDlgProcW,
                         .background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), .window_extra = DLGWINDOWEXTRA});
    const std::vector<WORD> frame = FrameTemplate();
    window_.CreateFromTemplate(*reinterpret_cast<const DLGTEMPLATE*>(frame.data()), owner);
    CreateControls();
}

void TFormSetting::CreateControls() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const SettingsControlDecl& decl : kSettingsControls) {
        const ControlClass kind = ClassOf(decl.kind);
        const int height = decl.kind == SettingsControlKind::FormatList ? decl.height + kFormatListDropHeight
                                                                        : decl.height;
        HWND control = CreateWindowExW(0, kind.window_class, decl.text, WS_CHILD | WS_VISIBLE | kind.style, decl.left,
                                       decl.top, decl.width, height, handle(),
                                       reinterpret_cast<HMENU>(static_cast<UINT_PTR>(decl.id)), instance, nullptr);
        if (!control) throw Win32Error(L"CreateWindowExW", GetLastError());
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    }
    SendMessageW(Control(idEditPath), EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(kPathCueText));
    const HWND formats = Control(idComboBoxFormats);
    path_skin_.emplace(Control(idEditPath));
    formats_skin_.emplace(formats);
    for (const wchar_t* item : kFormatItems) SendMessageW(formats, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    FitClosedHeight(formats, kSettingsControls[3].height);
}

void TFormSetting::Fill(const OptionsRecord& options) {
    SetChecked(Control(idCheckBoxSave), options.OPT_NeedSave);
    SetChecked(Control(idCheckBoxNeedCursor), options.OPT_NeedCursor);
    SetWindowTextW(Control(idEditPath), options.OPT_SavePath.c_str());
    // An index outside the list selects nothing.
    SendMessageW(Control(idComboBoxFormats), CB_SETCURSEL, static_cast<WPARAM>(options.OPT_IMG_format), 0);
    SetChecked(Control(idCheckBoxPlaySound), options.OPT_PlaySound);
}

void TFormSetting::CopyTo(OptionsRecord& options) const {
    options.OPT_NeedSave = Checked(Control(idCheckBoxSave));
    options.OPT_NeedCursor = Checked(Control(idCheckBoxNeedCursor));
    options.OPT_SavePath = WindowText(Control(idEditPath));
    options.OPT_IMG_format = static_cast<std::int32_t>(SendMessageW(Control(idComboBoxFormats), CB_GETCURSEL, 0, 0));
    options.OPT_PlaySound = Checked(Control(idCheckBoxPlaySound));
}

int TFormSetting::ShowModal() {
    // The button that started the command may still hold the mouse; its first click
    // would otherwise be lost to the disabled owner.
    ReleaseCapture();
    PlaceCentred(handle(), owner_, kSettingsClientWidth, kSettingsClientHeight);
    return modal_.Run(handle(), ModalKeys::Dialog, [this] {
        ShowWindow(handle(), SW_SHOW);
        SetFocus(Control(idEditPath));
    });
}

HWND TFormSetting::FindOpen(HWND owner) {
    struct Search {
        HWND owner;
        HWND found;
    } search{owner, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM context) noexcept -> BOOL {
            auto& s = *reinterpret_cast<Search*>(context);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (std::wstring_view(name) == kSettingsWindowClass && GetWindow(window, GW_OWNER) == s.owner &&
                IsWindowVisible(window)) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void TFormSetting::BtnOpenClick() {
    const HWND box = Control(idEditPath);
    std::wstring path;
    ReleaseCapture();  // as above, for "Выбрать" and the chooser
    if (SelectFolder(handle(), kFolderChooserTitle, WindowText(box), path)) SetWindowTextW(box, path.c_str());
}

void TFormSetting::OnCommand(WORD id, WORD notification) {
    if (notification != BN_CLICKED) return;
    switch (id) {
    case idBtnOpen:
        BtnOpenClick();
        break;
    case idBtnSave:
        modal_.End(mrOk);
        break;
    case idBtnClose:
        modal_.End(mrCancel);
        break;
    default:
        break;  // IDOK and IDCANCEL from Enter and Esc: neither button is default or cancel
    }
}

LRESULT TFormSetting::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        return FALSE;  // the focus is set when shown
    case WM_COMMAND:
        OnCommand(LOWORD(wparam), HIWORD(wparam));
        return 0;
    case WM_CLOSE:
        modal_.End(mrCancel);
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
        const HDC dc = reinterpret_cast<HDC>(wparam);
        SetTextColor(dc, kSkinText);
        SetBkColor(dc, kSettingsFieldColor);
        return reinterpret_cast<LRESULT>(field_brush_.get());
    }
    case WM_CTLCOLORSTATIC: {
        const HDC dc = reinterpret_cast<HDC>(wparam);
        SetTextColor(dc, kSkinText);
        SetBkColor(dc, kSkinLightBackground);
        return reinterpret_cast<LRESULT>(background_brush_.get());
    }
    case WM_CTLCOLORDLG:
        return reinterpret_cast<LRESULT>(background_brush_.get());
    case WM_PRINTCLIENT: {  // what the drawn controls show round their corners
        RECT client{};
        GetClientRect(handle(), &client);
        FillRect(reinterpret_cast<HDC>(wparam), &client, background_brush_.get());
        return 0;
    }
    case WM_NOTIFY:
        if (const auto drawn = DrawSkinDialogControl(*reinterpret_cast<const NMHDR*>(lparam))) return *drawn;
        break;
    }
    return window_.Default(message, wparam, lparam);
}

}  // namespace kadrix
