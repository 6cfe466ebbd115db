#include "platform/live_objects.h"
#include "platform/sim/sim_processor.h"

LiveObjectCounts livePlatformObjects() {
    return LiveObjectCounts{simLiveCccrWindows()};
}
