#pragma once
// The simulated handheld's display as far as rotation goes, and its restart
// button: tests set them up and look at what the program asked for.
//
// Requests are judged as the device's display driver judges them: a record whose
// size is not DISPLAY_MODE_RECORD_SIZE is a bad parameter (-5), flags other than
// DISPLAY_APPLY_NOW and DISPLAY_TEST_ONLY are bad flags (-4), and a record that
// names neither rotation field, or asks for an orientation the display does not
// have, is a bad mode (-2). A refused request leaves the record and the display
// as they were.

#include <cstdint>

struct SimDisplay {
    std::uint32_t orientation;           // ORIENTATION_0, _90, _180 or _270
    std::uint32_t supportedOrientations; // bits of ORIENTATION_90, _180, _270; 0: cannot rotate
    bool requestsFail;                   // every request returns -1
    int changesApplied;                  // orientations set (also to the one already in force)
    int restarts;                        // warm restarts requested
};

extern SimDisplay& simDisplay; // simHandheld.display

// Turns the screen: the screen metrics swap width and height between upright
// (0 and 180 degrees) and sideways (90 and 270), as the device reports them.
void simTurnScreen(std::uint32_t orientation);

// Upright, able to turn to every orientation, nothing asked yet.
SimDisplay simDisplaySwitchedOn();

// Makes the handheld a VGA one as it ships: a 480 x 640 screen, and in the
// display driver's key (HKLM\Drivers\Display\GPE) the logical pixels per inch
// of the VGA mode, LogicalPixelsX and LogicalPixelsY 192, each written only
// where the registry lacks it, so that a mode chosen earlier stays.
void simMakeVgaHandheld();
