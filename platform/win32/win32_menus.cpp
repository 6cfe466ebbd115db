#include "platform/menus.h"
#include "platform/win32/live_counts.h"
#include "platform/win32/native_handles.h"
#include "platform/win32/wide_text.h"

#include <windows.h>

namespace {

constexpr int LOADED_MENU_CAPACITY = 8;
HMENU loadedMenus[LOADED_MENU_CAPACITY]; // loaded and not yet destroyed

HINSTANCE module(ModuleHandle instance) {
    return instance != ModuleHandle::None ? native<HINSTANCE>(instance) : GetModuleHandleW(nullptr);
}

// Keeps `from` in the list of loaded menus as `to`: adds a menu (from null) or
// forgets one (to null).
void replaceLoaded(HMENU from, HMENU to) {
    for (HMENU& loaded : loadedMenus) {
        if (loaded == from) {
            loaded = to;
            return;
        }
    }
}

} // namespace

MenuHandle loadMenuResource(ModuleHandle instance, unsigned id) {
    HMENU menu = LoadMenuW(module(instance), MAKEINTRESOURCEW(id));
    if (menu != nullptr) {
        replaceLoaded(nullptr, menu);
    }
    return handleOf<MenuHandle>(menu);
}

MenuHandle subMenu(MenuHandle menu, int position) {
    return handleOf<MenuHandle>(GetSubMenu(native<HMENU>(menu), position));
}

void destroyMenu(MenuHandle menu) {
    if (DestroyMenu(native<HMENU>(menu))) {
        replaceLoaded(native<HMENU>(menu), nullptr);
    }
}

int liveMenus() {
    int live = 0;
    for (const HMENU loaded : loadedMenus) {
        live += loaded != nullptr ? 1 : 0;
    }
    return live;
}

void greyMenuItem(MenuHandle menu, std::uint32_t id) {
    EnableMenuItem(native<HMENU>(menu), id, MF_BYCOMMAND | MF_GRAYED);
}

void checkMenuItem(MenuHandle menu, std::uint32_t id) {
    CheckMenuItem(native<HMENU>(menu), id, MF_BYCOMMAND | MF_CHECKED);
}

void deleteMenuItem(MenuHandle menu, std::uint32_t id) {
    DeleteMenu(native<HMENU>(menu), id, MF_BYCOMMAND);
}

void insertMenuItemBefore(MenuHandle menu, std::uint32_t beforeId, std::uint32_t newId,
                          const char16_t* text) {
    InsertMenuW(native<HMENU>(menu), beforeId, MF_BYCOMMAND | MF_STRING, newId, wide(text));
}

bool menuItemAt(MenuHandle menu, int position, MenuItemView& item) {
    wchar_t text[64] = L"";
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    // The type mask asks for the type and the text together, as the device knows no
    // separate masks; the program's menus hold text entries and separators only.
    info.fMask = MIIM_TYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
    info.dwTypeData = text;
    info.cch = 63;
    if (!GetMenuItemInfoW(native<HMENU>(menu), static_cast<UINT>(position), TRUE, &info)) {
        return false;
    }
    item = MenuItemView{};
    item.separator = (info.fType & MFT_SEPARATOR) != 0;
    item.submenu = handleOf<MenuHandle>(info.hSubMenu);
    item.id = item.separator || info.hSubMenu != nullptr ? 0 : info.wID;
    // Greyed as greyMenuItem greys; the device has no disabled state apart from it.
    item.greyed = (info.fState & MF_GRAYED) != 0;
    item.checked = (info.fState & MFS_CHECKED) != 0;
    for (int i = 0; i < 63 && text[i] != L'\0'; ++i) {
        item.text[i] = static_cast<char16_t>(text[i]);
    }
    return true;
}
