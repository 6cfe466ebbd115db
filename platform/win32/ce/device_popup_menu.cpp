// The handheld's popup menu and count of menu entries (built only for the device).

#include "platform/menus.h"
#include "platform/win32/ce/ce_sdk.h"
#include "platform/win32/native_handles.h"

// No foreground step as on the desktop: the handheld closes a popup on a tap elsewhere itself.
void trackPopupMenu(MenuHandle menu, int x, int y, WindowHandle owner) {
    TrackPopupMenuEx(native<HMENU>(menu), TPM_RIGHTALIGN | TPM_BOTTOMALIGN, x, y,
                     native<HWND>(owner), nullptr);
}

// The handheld has no GetMenuItemCount: the entries are counted by walking them,
// so a menu that no longer exists counts 0 (the desktop answers -1).
int menuItemCount(MenuHandle menu) {
    MenuItemView item{};
    int count = 0;
    while (menuItemAt(menu, count, item)) {
        ++count;
    }
    return count;
}
