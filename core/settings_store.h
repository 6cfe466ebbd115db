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

// Store the icon mode and colours as they stand in AppState; the tray icon's
// settings commands change and draw them first.
void storeIconView();
void storeIconColors();
