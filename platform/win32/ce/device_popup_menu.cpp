// The handheld's popup menu (built only for the device).

#include "platform/menus.h"
#include "platform/win32/ce/ce_sdk.h"
#include "platform/win32/native_handles.h"

// No foreground step as on the desktop: the handheld closes a popup on a tap elsewhere itself.
void trackPopupMenu(MenuHandle menu, int x, int y, WindowHandle owner) {
    TrackPopupMenuEx(native<HMENU>(menu), TPM_RIGHTALIGN | TPM_BOTTOMALIGN, x, y,
                     native<HWND>(owner), nullptr);
}
