#include "platform/live_objects.h"
#include "platform/sim/sim_graphics.h"
#include "platform/sim/sim_processor.h"
#include "platform/sim/sim_registry.h"

LiveObjectCounts livePlatformObjects() {
    return LiveObjectCounts{simLiveCccrWindows(), simLiveRegistryKeys(), simLiveBitmaps(),
                            simLiveIcons()};
}
