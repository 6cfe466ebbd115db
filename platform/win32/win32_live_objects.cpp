#include "platform/live_objects.h"
#include "platform/win32/cccr_window_count.h"

LiveObjectCounts livePlatformObjects() {
    return LiveObjectCounts{liveCccrWindows()};
}
