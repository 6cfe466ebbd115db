#pragma once
// The popup menu's screen commands: the screen modes, which take effect after a
// restart the user agrees to, and the four rotations, which take effect at once.

#include "core/command_ids.h"

#include <cstdint>

// Carries out one of the commands above. QVGA, though the menu offers it, changes
// nothing, and neither does any id that is not a screen command.
void handleScreenCommand(std::uint32_t id);
