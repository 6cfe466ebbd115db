// A desktop PC's nearest equivalents of the handheld's display rotation. The
// current orientation comes from the display's current settings, with Windows'
// quarter turns (DMDO_90, _180, _270) told as the device's bits 1, 2 and 4. The
// program does not rotate a desktop display, so the query for the orientations
// it can turn to answers none. Applying an orientation asks Windows for it (a
// desktop may refuse to turn without new width and height). Records and flags
// that the device would refuse are refused here the same way.

#include "platform/display_settings.h"

#include <windows.h>

namespace {

constexpr std::uint32_t NO_ROTATION_OFFERED = 0;

struct OrientationPair {
    std::uint32_t device;
    DWORD desktop;
};

constexpr OrientationPair ORIENTATIONS[] = {
    {ORIENTATION_0, DMDO_DEFAULT},
    {ORIENTATION_90, DMDO_90},
    {ORIENTATION_180, DMDO_180},
    {ORIENTATION_270, DMDO_270},
};

std::int32_t queryCurrentOrientation(DisplayModeRecord& record) {
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode)) {
        return DISP_CHANGE_FAILED;
    }
    for (const OrientationPair& pair : ORIENTATIONS) {
        if (pair.desktop == mode.dmDisplayOrientation) {
            record.orientation = pair.device;
            return DISP_CHANGE_SUCCESSFUL;
        }
    }
    return DISP_CHANGE_FAILED;
}

std::int32_t answerQuery(DisplayModeRecord& record) {
    if ((record.fields & DISPLAY_FIELD_QUERY_ORIENTATIONS) != 0) {
        record.orientation = NO_ROTATION_OFFERED;
        return DISP_CHANGE_SUCCESSFUL;
    }
    if ((record.fields & DISPLAY_FIELD_ORIENTATION) != 0) {
        return queryCurrentOrientation(record);
    }
    return DISP_CHANGE_BADMODE;
}

std::int32_t applyOrientation(const DisplayModeRecord& record) {
    if ((record.fields & DISPLAY_FIELD_ORIENTATION) == 0) {
        return DISP_CHANGE_BADMODE;
    }
    for (const OrientationPair& pair : ORIENTATIONS) {
        if (pair.device == record.orientation) {
            DEVMODEW mode{};
            mode.dmSize = sizeof mode;
            mode.dmFields = DM_DISPLAYORIENTATION;
            mode.dmDisplayOrientation = pair.desktop;
            return ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr);
        }
    }
    return DISP_CHANGE_BADMODE;
}

} // namespace

std::int32_t changeDisplaySettings(DisplayModeRecord& record, std::uint32_t flags) {
    if (record.size != DISPLAY_MODE_RECORD_SIZE) {
        return DISP_CHANGE_BADPARAM;
    }
    if (flags == DISPLAY_TEST_ONLY) {
        return answerQuery(record);
    }
    if (flags == DISPLAY_APPLY_NOW) {
        return applyOrientation(record);
    }
    return DISP_CHANGE_BADFLAGS;
}

// Restarting is the handheld's business: a desktop PC is never restarted by this
// program, and the caller goes on as it does when the device's call returns.
void restartDevice() {}
