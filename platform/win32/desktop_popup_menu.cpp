// The desktop's popup menu and count of menu entries. A desktop closes a popup
// on a tap elsewhere only while its owner is in the foreground, so the owner is
// brought there first.

#include "platform/menus.h"
#include "platform/win32/native_handles.h"

#include <windows.h>

void trackPopupMenu(MenuHandle menu, int x, int y, WindowHandle owner) {
    SetForegroundWindow(native<HWND>(owner));
    TrackPopupMenuEx(native<HMENU>(menu), TPM_RIGHTALIGN | TPM_BOTTOMALIGN, x, y,
                     native<HWND>(owner), nullptr);
}

int menuItemCount(MenuHandle menu) {
    return GetMenuItemCount(native<HMENU>(menu));
}
