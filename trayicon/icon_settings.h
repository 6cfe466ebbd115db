#pragma once
// The icon-mode and palette commands: each changes the setting, redraws the
// icon at once (also when the value is the one already set) and then stores it.

#include <cstdint>

// Mode 0..5.
void saveIconView(std::uint32_t mode);

// Choice 0..7 picks the text colour, 8..15 the background, in the palette
// menu's order.
void saveIconColor(std::uint32_t choice);
