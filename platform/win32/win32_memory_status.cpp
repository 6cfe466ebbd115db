#include "platform/system_status.h"

#include "platform/win32/device_sizes.h"

#include <windows.h>

MemoryStatus queryMemoryStatus() {
    MEMORYSTATUS status{};
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    return MemoryStatus{status.dwMemoryLoad, fittedToDevice(status.dwTotalPhys),
                        fittedToDevice(status.dwAvailPhys)};
}
