#include "platform/live_objects.h"
#include "platform/win32/live_counts.h"

LiveObjectCounts livePlatformObjects() {
    return LiveObjectCounts{liveCccrWindows(), liveRegistryKeys(),   liveBitmaps(), liveIcons(),
                            liveSnapshots(),   liveProcessHandles(), liveMenus(),   liveSearches()};
}
