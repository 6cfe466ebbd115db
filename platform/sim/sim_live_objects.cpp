#include "platform/live_objects.h"
#include "platform/sim/sim_graphics.h"
#include "platform/sim/sim_menus.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_processor.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_storage.h"

LiveObjectCounts livePlatformObjects() {
    return LiveObjectCounts{simLiveCccrWindows(), simLiveRegistryKeys(), simLiveBitmaps(),
                            simLiveIcons(),       simLiveSnapshots(),    simLiveProcessHandles(),
                            simLiveMenus(),       simLiveSearches()};
}
