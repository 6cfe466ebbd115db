#include "device/screen_rotation.h"

#include "core/app_state.h"
#include "platform/display_settings.h"

namespace {

// Prepares the record to ask for, or set, the given field.
void selectDisplayField(std::uint32_t field) {
    appState.displayMode.size = DISPLAY_MODE_RECORD_SIZE;
    appState.displayMode.fields = field;
}

} // namespace

void setDisplayRotation(std::uint32_t orientation) {
    selectDisplayField(DISPLAY_FIELD_ORIENTATION);
    appState.displayMode.orientation = orientation;
    changeDisplaySettings(appState.displayMode, DISPLAY_APPLY_NOW);
}

std::uint32_t queryDisplayRotation() {
    selectDisplayField(DISPLAY_FIELD_ORIENTATION);
    changeDisplaySettings(appState.displayMode, DISPLAY_TEST_ONLY);
    return appState.displayMode.orientation;
}

bool queryRotationSupport() {
    selectDisplayField(DISPLAY_FIELD_QUERY_ORIENTATIONS);
    changeDisplaySettings(appState.displayMode, DISPLAY_TEST_ONLY);
    return appState.displayMode.orientation != 0;
}
