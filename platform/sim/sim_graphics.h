#pragma once
// Bitmaps, icons and the notification area of the simulated handheld. Icons are
// kept as pixels so that tests can look at what the notification area shows.

#include "platform/handles.h"
#include "platform/sim/ico_image.h"

#include <cstdint>

struct SimNotificationArea {
    bool iconPresent;
    WindowHandle window;
    std::uint32_t id;
    std::uint32_t flags;
    std::uint32_t callbackMessage;
    IconHandle icon;     // the handle last handed over
    SimIconPixels shown; // the pixels it had then
    int addCalls;
    int modifyCalls;
    int deleteCalls;
};

extern SimNotificationArea simNotificationArea;

// Forgets every bitmap and icon and empties the notification area.
void resetSimGraphics();

int simLiveBitmaps();
int simLiveIcons();
int simApplicationIconLoads();
int simGraphicsObjectsMade(); // bitmaps and icons, since the last reset

// The pixels of a live icon, or nullptr for a handle that is not one.
const SimIconPixels* simIconPixels(IconHandle icon);
