#include "platform/sim/sim_metrics.h"

#include "platform/sim/sim_handheld.h"
#include "platform/system_metrics.h"

SimScreenMetrics& simScreenMetrics = simHandheld.screenMetrics;

SimScreenMetrics simScreenMetricsSwitchedOn() {
    return SimScreenMetrics{240, 320, 16, 32};
}

int systemMetric(int index) {
    switch (index) {
    case METRIC_SCREEN_WIDTH:
        return simScreenMetrics.width;
    case METRIC_SCREEN_HEIGHT:
        return simScreenMetrics.height;
    case METRIC_SMALL_ICON_WIDTH:
        return simScreenMetrics.smallIconWidth;
    case METRIC_ICON_WIDTH:
    case METRIC_ICON_HEIGHT:
        return simScreenMetrics.iconSize;
    default:
        return 0; // as Windows answers a measure it does not know
    }
}
