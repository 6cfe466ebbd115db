#pragma once
// The interactive mode: the handheld's screen, its taskbar with the tray icon,
// the program's popup menus, message boxes and dialogs, and a device panel with
// keys for the outside world, drawn in the terminal with escape sequences.

#include "platform/sim/sim_processor.h"

// Puts the terminal in raw mode on its alternate screen and makes this the
// handheld's driver; false when standard input or output is not a terminal.
bool startInteractive(SimProcessorKind processor);

// Gives the terminal back as it was (also done on a crash signal).
void endInteractive();
