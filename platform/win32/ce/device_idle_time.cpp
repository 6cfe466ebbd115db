// The handheld's idle-time counter (built only for the device).

#include "platform/system_metrics.h"
#include "platform/win32/ce/ce_sdk.h"

std::uint32_t idleTime() {
    return GetIdleTime();
}
