#include "platform/system_metrics.h"

#include <windows.h>

int systemMetric(int index) {
    return GetSystemMetrics(index);
}
