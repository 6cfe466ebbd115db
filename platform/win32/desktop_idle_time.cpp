// A desktop PC has no idle-time counter of the device's kind; its nearest
// equivalent is the idle time of all processors together, shared out per
// processor, in milliseconds since the system started.

#include "platform/system_metrics.h"

#include <windows.h>

std::uint32_t idleTime() {
    FILETIME idle{};
    FILETIME kernel{};
    FILETIME user{};
    if (!GetSystemTimes(&idle, &kernel, &user)) {
        return 0xFFFFFFFF; // not kept
    }
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    const ULONGLONG hundredsOfNanoseconds =
        (static_cast<ULONGLONG>(idle.dwHighDateTime) << 32) | idle.dwLowDateTime;
    const ULONGLONG processors = system.dwNumberOfProcessors > 0 ? system.dwNumberOfProcessors : 1;
    return static_cast<std::uint32_t>(hundredsOfNanoseconds / 10000 / processors);
}
