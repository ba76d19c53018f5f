#include "app/TrayMenu.h"

#include "app/ModalRun.h"
#include "app/TrayMenuItems.h"
#include "app/Win32Handles.h"
#include "controls/Skin.h"

namespace kadrix {

unique_hmenu BuildTrayMenu() {
    unique_hmenu menu(CreatePopupMenu());
    UINT position = 0;
    for (const MenuItemDecl& item : kTrayMenuItems) {
        MENUITEMINFOW info{sizeof(info)};
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_STRING;
        info.fType = item.caption ? MFT_OWNERDRAW : MFT_SEPARATOR | MFT_OWNERDRAW;
        info.wID = item.command;
        info.dwItemData = reinterpret_cast<ULONG_PTR>(&item);
        info.dwTypeData = const_cast<wchar_t*>(item.caption ? item.caption : L"");
        InsertMenuItemW(menu.get(), position++, TRUE, &info);
    }
    return menu;
}

Command ChooseFromTrayMenu(HWND owner) {
    const unique_hmenu menu = BuildTrayMenu();
    POINT cursor{};
    GetCursorPos(&cursor);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(ModalRun::ForegroundFor(owner));
    const BOOL chosen = TrackPopupMenuEx(menu.get(), TPM_RIGHTBUTTON | TPM_BOTTOMALIGN | TPM_LEFTALIGN | TPM_RETURNCMD,
                                         cursor.x, cursor.y, owner, nullptr);
    PostMessageW(owner, WM_NULL, 0, 0);
    return static_cast<Command>(chosen);
}

}  // namespace kadrix
