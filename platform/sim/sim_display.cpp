#include "platform/sim/sim_display.h"

#include "platform/display_settings.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_registry.h"

#include <bit>
#include <utility>

namespace {

// The device's DISP_CHANGE_* results.
constexpr std::int32_t CHANGE_SUCCESSFUL = 0;
constexpr std::int32_t CHANGE_FAILED = -1;
constexpr std::int32_t CHANGE_BAD_MODE = -2;
constexpr std::int32_t CHANGE_BAD_FLAGS = -4;
constexpr std::int32_t CHANGE_BAD_PARAM = -5;

constexpr std::uint32_t ALL_ROTATIONS = ORIENTATION_90 | ORIENTATION_180 | ORIENTATION_270;

constexpr SimScreenMetrics VGA_METRICS = {480, 640, 32, 64};
constexpr const char16_t* DISPLAY_DRIVER_KEY = u"Drivers\\Display\\GPE";
constexpr const char16_t* LOGICAL_PIXELS_VALUES[] = {u"LogicalPixelsX", u"LogicalPixelsY"};
constexpr std::uint32_t VGA_LOGICAL_PIXELS = 192;
constexpr std::uint32_t REG_DWORD = 4;

bool available(std::uint32_t orientation) {
    return orientation == ORIENTATION_0 ||
           (std::has_single_bit(orientation) &&
            (orientation & ALL_ROTATIONS & simDisplay.supportedOrientations) != 0);
}

std::int32_t answerQuery(DisplayModeRecord& record) {
    if ((record.fields & DISPLAY_FIELD_QUERY_ORIENTATIONS) != 0) {
        record.orientation = simDisplay.supportedOrientations;
    } else if ((record.fields & DISPLAY_FIELD_ORIENTATION) != 0) {
        record.orientation = simDisplay.orientation;
    } else {
        return CHANGE_BAD_MODE;
    }
    return CHANGE_SUCCESSFUL;
}

bool sideways(std::uint32_t orientation) {
    return orientation == ORIENTATION_90 || orientation == ORIENTATION_270;
}

std::int32_t applyOrientation(const DisplayModeRecord& record) {
    if ((record.fields & DISPLAY_FIELD_ORIENTATION) == 0 || !available(record.orientation)) {
        return CHANGE_BAD_MODE;
    }
    simTurnScreen(record.orientation);
    ++simDisplay.changesApplied;
    return CHANGE_SUCCESSFUL;
}

} // namespace

SimDisplay& simDisplay = simHandheld.display;

void simTurnScreen(std::uint32_t orientation) {
    if (sideways(orientation) != sideways(simDisplay.orientation)) {
        std::swap(simScreenMetrics.width, simScreenMetrics.height);
    }
    simDisplay.orientation = orientation;
}

void simMakeVgaHandheld() {
    simScreenMetrics = VGA_METRICS;
    for (const char16_t* name : LOGICAL_PIXELS_VALUES) {
        if (!simRegistryValueExists(DISPLAY_DRIVER_KEY, name)) {
            simSetRegistryValue(DISPLAY_DRIVER_KEY, name, REG_DWORD, &VGA_LOGICAL_PIXELS,
                                sizeof VGA_LOGICAL_PIXELS);
        }
    }
}

SimDisplay simDisplaySwitchedOn() {
    SimDisplay display{};
    display.orientation = ORIENTATION_0;
    display.supportedOrientations = ALL_ROTATIONS;
    return display;
}

std::int32_t changeDisplaySettings(DisplayModeRecord& record, std::uint32_t flags) {
    if (simDisplay.requestsFail) {
        return CHANGE_FAILED;
    }
    if (record.size != DISPLAY_MODE_RECORD_SIZE) {
        return CHANGE_BAD_PARAM;
    }
    if (flags == DISPLAY_TEST_ONLY) {
        return answerQuery(record);
    }
    if (flags == DISPLAY_APPLY_NOW) {
        return applyOrientation(record);
    }
    return CHANGE_BAD_FLAGS;
}

void restartDevice() {
    ++simDisplay.restarts;
}
