#pragma once
// The screen's modes: QVGA, VGA and PureVGA, told apart on a screen wider than
// QVGA by the display driver's logical pixels per inch (LogicalPixelsX). A new
// mode is written there and takes effect when the device restarts.

#include <cstdint>

// LogicalPixelsX of the display driver; 0 when the driver's key or the value is missing.
std::uint32_t readLogicalPixels();

// Sets vgaScreen, screenMode and pureVgaAvailable from the screen width, the
// logical pixels and the PureVGA shell resources.
void probeScreenMode();

// The VGA and PureVGA commands: after the user agrees, the mode's density is
// stored and the device restarts. Asking for the mode in force does nothing.
void switchToVga();
void switchToPureVga();
