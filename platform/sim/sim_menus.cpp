#include "platform/sim/sim_menus.h"

#include "platform/sim/cut_text.h"
#include "platform/sim/resource_script.h"
#include "platform/sim/sim_driver.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_windows.h"
#include "platform/sim/utf8.h"
#include "platform/windowing.h"

SimMenuTracking& simMenuTracking = simHandheld.menus.tracking;

namespace {

// Handles are numbers handed out in turn and never again, so a stale one
// reaches no menu.
std::map<std::uintptr_t, SimMenu>& menus = simHandheld.menus.menus;
std::deque<std::uint32_t>& choices = simHandheld.menus.choices;

SimMenu* menuOf(MenuHandle handle) {
    const auto found = menus.find(static_cast<std::uintptr_t>(handle));
    return found == menus.end() ? nullptr : &found->second;
}

std::uintptr_t build(const std::vector<ScriptMenuEntry>& entries, bool loaded) {
    const std::uintptr_t handle = ++simHandheld.menus.lastHandle;
    SimMenu& menu = menus[handle];
    menu.loaded = loaded;
    for (const ScriptMenuEntry& entry : entries) {
        SimMenuEntry built{
            entry.id, entry.kind == ScriptMenuEntry::Kind::Separator, false, false, entry.text, 0};
        if (entry.kind == ScriptMenuEntry::Kind::Submenu) {
            built.id = 0;
            built.submenu = build(entry.entries, false);
        }
        menu.entries.push_back(built);
    }
    return handle;
}

// Destroys the menu and its submenus, those not destroyed before.
void destroy(std::uintptr_t handle) {
    const auto found = menus.find(handle);
    if (found == menus.end()) {
        return;
    }
    const std::vector<SimMenuEntry> entries = std::move(found->second.entries);
    menus.erase(found);
    for (const SimMenuEntry& entry : entries) {
        if (entry.submenu != 0) {
            destroy(entry.submenu);
        }
    }
}

struct Found {
    SimMenu* menu;
    std::size_t position;
};

// The first entry with this command id, depth first in menu order.
Found findCommand(MenuHandle handle, std::uint32_t id) {
    SimMenu* menu = menuOf(handle);
    if (menu == nullptr || id == 0) {
        return Found{nullptr, 0};
    }
    for (std::size_t position = 0; position < menu->entries.size(); ++position) {
        const SimMenuEntry& entry = menu->entries[position];
        if (entry.submenu != 0) {
            const Found inside = findCommand(static_cast<MenuHandle>(entry.submenu), id);
            if (inside.menu != nullptr) {
                return inside;
            }
        } else if (entry.id == id && !entry.separator) {
            return Found{menu, position};
        }
    }
    return Found{nullptr, 0};
}

SimMenuEntry* commandEntry(MenuHandle menu, std::uint32_t id) {
    const Found found = findCommand(menu, id);
    return found.menu != nullptr ? &found.menu->entries[found.position] : nullptr;
}

void appendText(std::string& out, std::uintptr_t handle, int depth) {
    const SimMenu* menu = menuOf(static_cast<MenuHandle>(handle));
    if (menu == nullptr) {
        return;
    }
    for (const SimMenuEntry& entry : menu->entries) {
        out.append(static_cast<std::size_t>(2 * depth), ' ');
        if (entry.separator) {
            out += "---\n";
            continue;
        }
        out += '"';
        out += utf8Of(entry.text);
        out += '"';
        if (entry.submenu != 0) {
            out += " >\n";
            appendText(out, entry.submenu, depth + 1);
            continue;
        }
        out += ' ';
        out += std::to_string(entry.id);
        out += entry.greyed ? " greyed" : "";
        out += entry.checked ? " checked" : "";
        out += "\n";
    }
}

} // namespace

void scriptMenuChoice(std::uint32_t id) {
    choices.push_back(id);
}

int simLiveMenus() {
    int live = 0;
    for (const auto& [handle, menu] : menus) {
        live += menu.loaded ? 1 : 0;
    }
    return live;
}

std::string simMenuText(MenuHandle menu) {
    std::string text;
    appendText(text, static_cast<std::uintptr_t>(menu), 0);
    return text;
}

MenuHandle loadMenuResource(ModuleHandle, unsigned id) {
    std::vector<ScriptMenuEntry> entries;
    if (!parseScriptMenu(id, entries)) {
        return MenuHandle::None;
    }
    return static_cast<MenuHandle>(build(entries, true));
}

MenuHandle subMenu(MenuHandle handle, int position) {
    const SimMenu* menu = menuOf(handle);
    if (menu == nullptr || position < 0 ||
        static_cast<std::size_t>(position) >= menu->entries.size()) {
        return MenuHandle::None;
    }
    return static_cast<MenuHandle>(menu->entries[static_cast<std::size_t>(position)].submenu);
}

void destroyMenu(MenuHandle handle) {
    destroy(static_cast<std::uintptr_t>(handle));
}

void greyMenuItem(MenuHandle menu, std::uint32_t id) {
    if (SimMenuEntry* entry = commandEntry(menu, id)) {
        entry->greyed = true;
    }
}

void checkMenuItem(MenuHandle menu, std::uint32_t id) {
    if (SimMenuEntry* entry = commandEntry(menu, id)) {
        entry->checked = true;
    }
}

void deleteMenuItem(MenuHandle menu, std::uint32_t id) {
    const Found found = findCommand(menu, id);
    if (found.menu != nullptr) {
        found.menu->entries.erase(found.menu->entries.begin() +
                                  static_cast<std::ptrdiff_t>(found.position));
    }
}

void insertMenuItemBefore(MenuHandle menu, std::uint32_t beforeId, std::uint32_t newId,
                          const char16_t* text) {
    const Found found = findCommand(menu, beforeId);
    if (found.menu != nullptr && text != nullptr) {
        found.menu->entries.insert(found.menu->entries.begin() +
                                       static_cast<std::ptrdiff_t>(found.position),
                                   SimMenuEntry{newId, false, false, false, text, 0});
    }
}

// While the popup is up its loop delivers the program's messages; a second
// popup asked for meanwhile is refused, as only one can be tracked at a time.
void trackPopupMenu(MenuHandle menu, int x, int y, WindowHandle owner) {
    if (simMenuTracking.tracking) {
        return;
    }
    ++simMenuTracking.count;
    simMenuTracking.x = x;
    simMenuTracking.y = y;
    simMenuTracking.owner = owner;
    simMenuTracking.shown = simMenuText(menu);
    simMenuTracking.tracking = true;
    simRunModalLoop();
    std::uint32_t choice = 0;
    if (simDriver.chooseMenuCommand != nullptr) {
        choice = simDriver.chooseMenuCommand(menu, x, y);
    } else if (!choices.empty()) {
        choice = choices.front();
        choices.pop_front();
    }
    simMenuTracking.tracking = false;
    if (choice == 0) {
        return;
    }
    const SimMenuEntry* entry = commandEntry(menu, choice);
    if (entry != nullptr && !entry->greyed) {
        postMessage(owner, WM_COMMAND_MESSAGE, choice, 0);
    }
}

int menuItemCount(MenuHandle handle) {
    const SimMenu* menu = menuOf(handle);
    return menu != nullptr ? static_cast<int>(menu->entries.size()) : -1;
}

bool menuItemAt(MenuHandle handle, int position, MenuItemView& item) {
    const SimMenu* menu = menuOf(handle);
    if (menu == nullptr || position < 0 ||
        static_cast<std::size_t>(position) >= menu->entries.size()) {
        return false;
    }
    const SimMenuEntry& entry = menu->entries[static_cast<std::size_t>(position)];
    item = MenuItemView{entry.id,
                        entry.separator,
                        entry.greyed,
                        entry.checked,
                        static_cast<MenuHandle>(entry.submenu),
                        {}};
    copyCutText(entry.text.c_str(), item.text, std::size(item.text));
    return true;
}
