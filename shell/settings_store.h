#pragma once
// The five settings kept between runs, as 32-bit values under the program's
// registry key. Each writer changes its field first, so that the new value is in
// force for this run even when it cannot be stored.

#include <cstdint>

// Reads every stored value over the defaults and corrects what is out of range.
void loadSettings();

void saveMinLimit(std::uint32_t value);
void saveMaxLimit(std::uint32_t value);
void saveUserCccr(std::uint32_t value);

// Mode 0..5; the icon is redrawn before the value is stored.
void saveIconView(std::uint32_t mode);

// Choice 0..7 picks the text colour, 8..15 the background, in the palette
// menu's order; the icon is redrawn before the value is stored.
void saveIconColor(std::uint32_t choice);
