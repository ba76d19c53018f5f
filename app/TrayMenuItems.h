#pragma once
// The tray icon's popup menu, top to bottom. A null caption is a separator line.
#include "app/Commands.h"

namespace kadrix {

struct MenuItemDecl {
    const wchar_t* name;
    const wchar_t* caption;
    int glyph;  // index into the glyph list, -1 for none
    Command command;
};

inline constexpr MenuItemDecl kTrayMenuItems[] = {
    {L"N2", L"Сделать снимок экрана Alt + Num0", 6, cmdScreen},
    {L"P_ItemScreenActWindowClick", L"Сделать снимок активного окна Alt + Num1", 7, cmdActiveWindow},
    {L"P_ItemScreenUserWindowRectClick", L"Сделать снимок области Alt + Num2", 8, cmdRegion},
    {L"N12", nullptr, -1, Command{}},
    {L"P_ItemShowHide", L"Показать/скрыть программу", -1, cmdShowHide},
    {L"N4", nullptr, -1, Command{}},
    {L"N3", L"Настройки программы", 5, cmdSettings},
    {L"N5", nullptr, -1, Command{}},
    {L"N6", L"Сайт программы", 1, cmdProgramSite},
    {L"N7", L"Сайт компании", 1, cmdCompanySite},
    {L"PI_VKSite", L"Группа вконтакте", -1, cmdVkGroup},
    {L"G1", L"Поддержка", 4, cmdSupport},
    {L"N8", nullptr, -1, Command{}},
    {L"J1", L"О программе", 3, cmdAbout},
    {L"N10", nullptr, -1, Command{}},
    {L"N11", L"Выход", -1, cmdExit},
};

}  // namespace kadrix
