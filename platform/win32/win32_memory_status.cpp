#include "platform/system_status.h"

#include <windows.h>

#include <algorithm>

namespace {

// The device has 32-bit sizes; a desktop with more memory reports the largest.
std::uint32_t fitted(SIZE_T bytes) {
    return static_cast<std::uint32_t>(std::min<SIZE_T>(bytes, 0xFFFFFFFF));
}

} // namespace

MemoryStatus queryMemoryStatus() {
    MEMORYSTATUS status{};
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    return MemoryStatus{status.dwMemoryLoad, fitted(status.dwTotalPhys),
                        fitted(status.dwAvailPhys)};
}
