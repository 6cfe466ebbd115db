#pragma once
// Bitmaps, icons and the notification area of the simulated handheld. Icons are
// kept as pixels so that tests can look at what the notification area shows.

#include "platform/handles.h"
#include "platform/notification_icon.h"
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
    bool addFails;    // the taskbar is not there yet: adding is refused
    bool modifyFails; // modifying is refused and the area keeps what it shows
};

extern SimNotificationArea& simNotificationArea; // simHandheld.graphics.notificationArea

enum class SimIconCall { Add, Modify, Delete };

// Told of each call to the notification area as the program makes it, before
// the area carries it out or refuses it; null: nobody watches. Kept outside the
// handheld's state, so that resets and restarts keep it.
using SimIconWatcher = void (*)(SimIconCall call, const NotifyIconRecord& record);
extern SimIconWatcher simIconWatcher;

inline constexpr int SIM_BITMAP_CAPACITY = 16;
inline constexpr int SIM_ICON_CAPACITY = 16;
inline constexpr int SIM_LARGEST_BITMAP_BYTES = 64 * 64 / 2;

struct SimBitmap {
    bool live;
    int width;
    int height;
    int bitsPerPixel;
    std::uint8_t bits[SIM_LARGEST_BITMAP_BYTES];
};

struct SimIcon {
    bool live;
    SimIconPixels pixels;
};

// Switched on, the handheld has no bitmaps or icons and an empty notification area.
struct SimGraphics {
    SimBitmap bitmaps[SIM_BITMAP_CAPACITY]; // a handle is its slot plus one
    SimIcon icons[SIM_ICON_CAPACITY];
    int applicationIconLoads;
    int objectsMade; // bitmaps and icons
    SimNotificationArea notificationArea;
    bool bitmapCreationFails;
    bool iconCreationFails; // also loading the application icon
    // When n > 0: no more than n bitmaps and icons together are alive; a creation
    // beyond that fails, as when the graphics heap runs out.
    int liveObjectLimit;
};

int simLiveBitmaps();
int simLiveIcons();
int simApplicationIconLoads();
int simGraphicsObjectsMade(); // bitmaps and icons, since the last reset

// The pixels of a live icon, or nullptr for a handle that is not one.
const SimIconPixels* simIconPixels(IconHandle icon);
