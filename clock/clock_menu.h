#pragma once
// The clock portion of the popup menu: the frequency list at its top and the
// "Разгон" submenu, prepared for the processor family and the configuration in
// force, and the commands they send.

#include "platform/menus.h"

#include <cstdint>

// Adds, removes, greys and checks the clock entries of the freshly loaded popup.
void buildClockMenu(MenuHandle popup);

// Carries out a clock command (ids 10000-10067 and 10074-10080). Without clock
// control, and for list entries of the other family, nothing is done: such a
// command can only come from outside the menu.
void handleClockCommand(std::uint32_t id);
