#pragma once
// The popup menu's device commands: restart and full reset, each only after
// the user agrees; starting Tavil with the system; and the help file.

#include "core/command_ids.h"

#include <cstdint>

// Makes the Startup folder shortcut at appState.pathBuffer, or removes it when
// autostart is on, and flips appState.autostartEnabled whether or not that
// worked: the flag is the user's choice, and the next start finds what is
// really there. With an empty pathBuffer (start-up found no shortcut path that
// fits) autostart is unavailable: nothing is made or removed and the flag stays.
void toggleAutostart();

// Opens the help file's contents in the help viewer; tells the user when the
// viewer cannot be started.
void openHelp();

// Carries out RESTART_COMMAND, FULL_RESET_COMMAND, AUTOSTART_COMMAND and
// HELP_COMMAND; any other id does nothing.
void handleDeviceCommand(std::uint32_t id);
