#pragma once
// Form description of the settings dialog: its frame and its controls in creation
// order, which is also the keyboard order. Rectangles are in client pixels of the
// dialog (the two borderless row panels are folded into their children's positions).
// Behaviour lives in TFormSetting's handlers.

namespace kadrix {

inline constexpr const wchar_t* kSettingsWindowClass = L"TFormSetting";
inline constexpr const wchar_t* kSettingsCaption = L"Настройки программы";
inline constexpr int kSettingsClientWidth = 598;
inline constexpr int kSettingsClientHeight = 203;
inline constexpr int kSettingsFontHeight = -13;                // Tahoma, regular
inline constexpr unsigned kSettingsFieldColor = 0x00F2F2F2;    // red, green, blue 242 (COLORREF)

// Control identifiers; none is IDOK or IDCANCEL, so the dialog manager's Enter and Esc
// reach no button.
enum SettingsControl : unsigned short {
    idEditPath = 1001,
    idBtnOpen,
    idCheckBoxSave,
    idComboBoxFormats,
    idCheckBoxNeedCursor,
    idBtnClose,
    idBtnSave,
    idCheckBoxPlaySound,
    idLabelPath,
    idLabelFormat,
};

enum class SettingsControlKind { CheckBox, Label, Edit, Button, FormatList };

struct SettingsControlDecl {
    const wchar_t* name;
    SettingsControlKind kind;
    SettingsControl id;
    int left, top, width, height;
    const wchar_t* text;
};

// Path row panel at (3, 31), format row panel at (3, 67).
inline constexpr SettingsControlDecl kSettingsControls[] = {
    {L"EditPath", SettingsControlKind::Edit, idEditPath, 3 + 138, 31 + 3, 328, 24, L""},
    {L"BtnOpen", SettingsControlKind::Button, idBtnOpen, 3 + 472, 31 + 3, 117, 24, L"Выбрать"},
    {L"CheckBoxSave", SettingsControlKind::CheckBox, idCheckBoxSave, 3, 3, 592, 22, L"Сохранять снимок экрана"},
    {L"ComboBoxFormats", SettingsControlKind::FormatList, idComboBoxFormats, 3 + 139, 67 + 0, 453, 24, L""},
    {L"CheckBoxNeedCursor", SettingsControlKind::CheckBox, idCheckBoxNeedCursor, 8, 98, 214, 22,
     L"Показывать курсор (стрелочка)"},
    {L"BtnClose", SettingsControlKind::Button, idBtnClose, 475, 157, 115, 37, L"Закрыть"},
    {L"BtnSave", SettingsControlKind::Button, idBtnSave, 354, 158, 115, 37, L"Сохранить"},
    {L"CheckBoxPlaySound", SettingsControlKind::CheckBox, idCheckBoxPlaySound, 8, 126, 138, 22, L"Использовать звук"},
    {L"sLabel1", SettingsControlKind::Label, idLabelPath, 3 + 3, 31 + 3, 129, 24, L"Путь для сохранения:"},
    {L"sLabel2", SettingsControlKind::Label, idLabelFormat, 3 + 3, 67 + 3, 133, 24, L"Формат изображения:"},
};

inline constexpr const wchar_t* kPathCueText = L"Нажмите кнопку и укажите папку для сохранения";

// Items of the format list; the position is the stored format index.
inline constexpr const wchar_t* kFormatItems[] = {
    L"BMP - высокое качество, большой размер файла",
    L"PNG - высокое качество, нормальный размер файла",
    L"JPEG (mini) - низкое качество, маленький размер файла",
    L"JPEG (normal) - среднее качество, небольшой размер файла",
    L"JPEG (MAXI) - высокое качество, средний размер файла",
};

inline constexpr const wchar_t* kFolderChooserTitle = L"Выберите папку";

}  // namespace kadrix
