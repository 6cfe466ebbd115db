#pragma once
// The screen's logical pixel density (its VGA or PureVGA mode, in force after a
// restart), its rotation, and the device's restart. Rotation goes through
// appState.displayMode.

#include <cstdint>

// LogicalPixelsX of the display driver; 0 when the driver's key or the value is missing.
std::uint32_t readLogicalPixels();

// Stores the density as LogicalPixelsX and LogicalPixelsY. A device without the
// display driver's key is left as it is: the key is never created.
void writeLogicalPixels(std::uint32_t value);

// Turns the screen to ORIENTATION_0, _90, _180 or _270 at once; an orientation
// the display refuses changes nothing.
void setDisplayRotation(std::uint32_t orientation);

// The orientation in force. When the display does not answer, the orientation
// last in the record is returned.
std::uint32_t queryDisplayRotation();

// Whether the display can turn to any orientation other than upright.
bool queryRotationSupport();

// Warm restart; the program goes on when it returns.
void restartDevice();
