#include <gtest/gtest.h>

#include "app/Commands.h"
#include "app/TrayMenu.h"

namespace kadrix {
namespace {

// Another process cannot read the menu, so its items are checked here, in-process.
TEST(TrayMenu, HoldsItsItemsInOrder) {
    const struct {
        const wchar_t* caption;  // null: separator
        UINT id;
    } expected[] = {
        {L"Сделать снимок экрана Alt + Num0", cmdScreen},
        {L"Сделать снимок активного окна Alt + Num1", cmdActiveWindow},
        {L"Сделать снимок области Alt + Num2", cmdRegion},
        {nullptr, 0},
        {L"Показать/скрыть программу", cmdShowHide},
        {nullptr, 0},
        {L"Настройки программы", cmdSettings},
        {nullptr, 0},
        {L"Сайт программы", cmdProgramSite},
        {L"Сайт компании", cmdCompanySite},
        {L"Группа вконтакте", cmdVkGroup},
        {L"Поддержка", cmdSupport},
        {nullptr, 0},
        {L"О программе", cmdAbout},
        {nullptr, 0},
        {L"Выход", cmdExit},
    };
    const unique_hmenu menu = BuildTrayMenu();
    ASSERT_EQ(GetMenuItemCount(menu.get()), static_cast<int>(std::size(expected)));
    for (UINT position = 0; position < std::size(expected); ++position) {
        wchar_t caption[128] = {};
        MENUITEMINFOW info{sizeof(info)};
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = caption;
        info.cch = std::size(caption);
        ASSERT_TRUE(GetMenuItemInfoW(menu.get(), position, TRUE, &info));
        if (!expected[position].caption) {
            EXPECT_TRUE(info.fType & MFT_SEPARATOR) << position;
            continue;
        }
        EXPECT_STREQ(caption, expected[position].caption) << position;
        EXPECT_EQ(info.wID, expected[position].id) << position;
    }
}

}  // namespace
}  // namespace kadrix
