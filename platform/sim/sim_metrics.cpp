#include "platform/sim/sim_metrics.h"
#include "platform/system_metrics.h"

namespace {

constexpr SimScreenMetrics QVGA_SCREEN = {240, 320, 16, 32};

} // namespace

SimScreenMetrics simScreenMetrics = QVGA_SCREEN;

void resetSimMetrics() {
    simScreenMetrics = QVGA_SCREEN;
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
