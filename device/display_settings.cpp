#include "device/display_settings.h"

#include "core/app_state.h"
#include "platform/display_settings.h"
#include "platform/registry.h"

namespace {

constexpr const char16_t* DISPLAY_DRIVER_KEY = u"Drivers\\Display\\GPE";
constexpr const char16_t* LOGICAL_PIXELS_X_VALUE = u"LogicalPixelsX";
constexpr const char16_t* LOGICAL_PIXELS_Y_VALUE = u"LogicalPixelsY";

// Prepares the record to ask for, or set, the given field.
void selectDisplayField(std::uint32_t field) {
    appState.displayMode.size = DISPLAY_MODE_RECORD_SIZE;
    appState.displayMode.fields = field;
}

} // namespace

std::uint32_t readLogicalPixels() {
    std::uint32_t value = 0;
    const RegistryKey key = openRegistryKey(DISPLAY_DRIVER_KEY, REGISTRY_READ_ACCESS);
    queryRegistryNumber(key, LOGICAL_PIXELS_X_VALUE, value);
    closeRegistryKey(key);
    return value;
}

void writeLogicalPixels(std::uint32_t value) {
    const RegistryKey key = openRegistryKey(DISPLAY_DRIVER_KEY, REGISTRY_WRITE_ACCESS);
    setRegistryNumber(key, LOGICAL_PIXELS_X_VALUE, value);
    setRegistryNumber(key, LOGICAL_PIXELS_Y_VALUE, value);
    closeRegistryKey(key);
}

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

void restartDevice() {
    requestDeviceRestart();
}
