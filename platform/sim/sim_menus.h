#pragma once
// Menus of the simulated handheld, loaded from the program's resource script.
// Showing a popup records where and how it was asked for, with the whole menu
// as text, delivers the messages waiting (as the menu's own loop does), and
// answers with the command a test scripted (or with none, as when the user taps
// outside the menu). Destroying a menu frees it and its submenus; their handles
// are not handed out again until the handheld is reset.

#include "platform/handles.h"
#include "platform/menus.h"

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

struct SimMenuTracking {
    int count; // popups shown since the reset
    int x;     // where the last one was asked for
    int y;
    WindowHandle owner;
    std::string shown; // the last popup as text, see simMenuText
    bool tracking;     // a popup is up
};

extern SimMenuTracking& simMenuTracking; // simHandheld.menus.tracking

struct SimMenuEntry {
    std::uint32_t id;
    bool separator;
    bool greyed;
    bool checked;
    std::u16string text;
    std::uintptr_t submenu; // a handle, 0 for none
};

struct SimMenu {
    bool loaded; // a menu loaded from the resources, not one of its submenus
    std::vector<SimMenuEntry> entries;
};

// Switched on, the handheld has no menus and no scripted choices.
struct SimMenus {
    std::map<std::uintptr_t, SimMenu> menus; // those not yet destroyed, by handle
    std::uintptr_t lastHandle;
    std::deque<std::uint32_t> choices; // scripted answers, oldest first
    SimMenuTracking tracking;
};

// The next popup shown answers with `id`: the command is posted to its owner
// when the menu holds that id as an enabled command, else nothing is chosen.
void scriptMenuChoice(std::uint32_t id);

int simLiveMenus();

// The menu as text, one entry a line, each submenu's entries indented by two
// spaces under it: `"208 МГц" 10002 checked`, `"Разгон" >`, `---`; "greyed"
// and "checked" follow the id when they apply.
std::string simMenuText(MenuHandle menu);
