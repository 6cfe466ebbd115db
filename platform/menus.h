#pragma once
// Menus loaded from the program's resources, changed entry by entry, and shown
// as a popup. Entries are addressed by command id; a search by id reaches the
// entries of nested submenus. Changing an id that the menu does not hold has no
// effect.

#include "platform/handles.h"

#include <cstddef>
#include <cstdint>

enum class MenuHandle : std::uintptr_t { None = 0 };

MenuHandle loadMenuResource(ModuleHandle instance, unsigned id);
MenuHandle subMenu(MenuHandle menu, int position);
void destroyMenu(MenuHandle menu);

void greyMenuItem(MenuHandle menu, std::uint32_t id);
void checkMenuItem(MenuHandle menu, std::uint32_t id);
void deleteMenuItem(MenuHandle menu, std::uint32_t id);

// Inserts a text entry with `newId` right before the entry `beforeId`.
void insertMenuItemBefore(MenuHandle menu, std::uint32_t beforeId, std::uint32_t newId,
                          const char16_t* text);

// Shows the popup with its bottom-right corner at x, y and returns when it
// closes; the chosen command reaches `owner` as a command message.
void trackPopupMenu(MenuHandle menu, int x, int y, WindowHandle owner);

// What one entry of a menu is, for walking a menu entry by entry.
struct MenuItemView {
    std::uint32_t id; // 0 for separators and submenus
    bool separator;
    bool greyed;
    bool checked;
    MenuHandle submenu; // None unless the entry opens a submenu
    char16_t text[64];  // cut to fit
};

int menuItemCount(MenuHandle menu);
bool menuItemAt(MenuHandle menu, int position, MenuItemView& item);
