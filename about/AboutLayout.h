#pragma once
// Form description of the About dialog: its frame and its components in creation
// order. Texts left null are filled in when the dialog is created.

namespace kadrix {

inline constexpr const wchar_t* kAboutCaption = L"О программе...";
inline constexpr int kAboutClientWidth = 550;
inline constexpr int kAboutClientHeight = 371;

enum class AboutFont {
    Window,  // Tahoma 13 px, the window text colour
    Name,    // Arial 16 px bold, black
    Text,    // Tahoma 13 px, black
    Link,    // Tahoma 13 px bold underlined, navy
};

enum class AboutKind { Label, WrappedLabel, Link, CloseButton };

// Control identifiers; the close button is the dialog's cancel button.
enum AboutControlId : int {
    idCloseButton = 2,  // IDCANCEL: Esc and the close box end the dialog through it
    idSiteLabel = 1001,
    idSupportLabel,
    idInfoLabel,
    idVersionLabel,
    idAuthorLabel,
    idProgrammLabel,
};

struct AboutControlDecl {
    const wchar_t* name;
    AboutControlId id;
    AboutKind kind;
    int left, top;
    int width, height;  // 0 x 0: the label fits its text
    AboutFont font;
    const wchar_t* text;
};

// The close button comes first so that it is first in tab order.
inline constexpr AboutControlDecl kAboutControls[] = {
    {L"CloseButton", idCloseButton, AboutKind::CloseButton, 419, 327, 122, 33, AboutFont::Window, nullptr},
    {L"SiteLabel", idSiteLabel, AboutKind::Link, 22, 282, 257, 16, AboutFont::Link, L"Сайт программы"},
    {L"SupportLabel", idSupportLabel, AboutKind::Link, 288, 282, 259, 16, AboutFont::Link, L"Техническая поддержка"},
    {L"InfoLabel", idInfoLabel, AboutKind::WrappedLabel, 58, 181, 483, 106, AboutFont::Text,
     L"Кадрикс - современная и удобная БЕСПЛАТНАЯ программа для создания снимков (фото/скриншотов) "
     L"рабочего стола. Позволяет сделать снимок рабочего стола и сохранить его в файл в разных "
     L"популярных форматах."},
    {L"VersionLabel", idVersionLabel, AboutKind::Label, 58, 129, 0, 0, AboutFont::Text, nullptr},
    {L"AuthorLabel", idAuthorLabel, AboutKind::Label, 58, 151, 0, 0, AboutFont::Text, nullptr},
    {L"ProgrammLabel", idProgrammLabel, AboutKind::Label, 58, 107, 0, 0, AboutFont::Name, nullptr},
};

}  // namespace kadrix
