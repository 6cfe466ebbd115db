#pragma once
// The screen's rotation, asked and set at once through the display settings
// record appState.displayMode.

#include <cstdint>

// Turns the screen to ORIENTATION_0, _90, _180 or _270 at once; an orientation
// the display refuses changes nothing.
void setDisplayRotation(std::uint32_t orientation);

// The orientation in force. When the display does not answer, the orientation
// last in the record is returned.
std::uint32_t queryDisplayRotation();

// Whether the display can turn to any orientation other than upright.
bool queryRotationSupport();
