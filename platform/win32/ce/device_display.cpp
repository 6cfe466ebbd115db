// The handheld's display rotation and warm restart (built only for the device).
// Its DEVMODEW is the 192-byte record the program keeps; the driver fills in
// or applies the fields that the record names.

#include "platform/display_settings.h"
#include "platform/win32/ce/ce_sdk.h"

static_assert(sizeof(DEVMODEW) == DISPLAY_MODE_RECORD_SIZE);

std::int32_t changeDisplaySettings(DisplayModeRecord& record, std::uint32_t flags) {
    if (record.size != DISPLAY_MODE_RECORD_SIZE) {
        return DISP_CHANGE_BADPARAM;
    }
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    mode.dmFields = record.fields;
    mode.dmDisplayOrientation = record.orientation;
    const LONG result = ChangeDisplaySettingsEx(nullptr, &mode, nullptr, flags, nullptr);
    if (result == DISP_CHANGE_SUCCESSFUL) {
        record.orientation = mode.dmDisplayOrientation;
    }
    return result;
}

void restartDevice() {
    KernelIoControl(IOCTL_HAL_REBOOT, nullptr, 0, nullptr, 0, nullptr);
}
