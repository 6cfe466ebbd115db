#include "device/screen_modes.h"

#include "core/app_state.h"
#include "platform/display_settings.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/registry.h"
#include "platform/system_metrics.h"

namespace {

constexpr const char16_t* DISPLAY_DRIVER_KEY = u"Drivers\\Display\\GPE";
constexpr const char16_t* LOGICAL_PIXELS_X_VALUE = u"LogicalPixelsX";
constexpr const char16_t* LOGICAL_PIXELS_Y_VALUE = u"LogicalPixelsY";
constexpr const char16_t* PURE_VGA_RESOURCES = u"\\Windows\\shellres.96.dll";
constexpr int QVGA_WIDTH = 320;

constexpr const char16_t* SCREEN_CAPTION = u"Экран";

// Screen modes as appState.screenMode keeps them, with their logical pixel densities.
struct ScreenMode {
    std::uint8_t mode;
    std::uint32_t logicalPixels;
    const char16_t* question;
};

constexpr std::uint8_t QVGA = 0;
constexpr ScreenMode VGA_MODE = {1, 192, u"Установить режим VGA и выполнить перезагрузку ?"};
constexpr ScreenMode PURE_VGA_MODE = {2, 96,
                                      u"Установить режим PureVGA и выполнить перезагрузку ?"};

// A driver that does not say counts as VGA.
std::uint8_t modeOfLogicalPixels(std::uint32_t logicalPixels) {
    if (logicalPixels == 0 || logicalPixels == VGA_MODE.logicalPixels) {
        return VGA_MODE.mode;
    }
    return logicalPixels == PURE_VGA_MODE.logicalPixels ? PURE_VGA_MODE.mode : QVGA;
}

// Stores the density as LogicalPixelsX and LogicalPixelsY. A device without the
// display driver's key is left as it is: the key is never created.
void writeLogicalPixels(std::uint32_t value) {
    const RegistryKey key = openRegistryKey(DISPLAY_DRIVER_KEY, REGISTRY_WRITE_ACCESS);
    setRegistryNumber(key, LOGICAL_PIXELS_X_VALUE, value);
    setRegistryNumber(key, LOGICAL_PIXELS_Y_VALUE, value);
    closeRegistryKey(key);
}

// The new density is read by the display driver at start-up, hence the restart.
void switchScreenMode(const ScreenMode& target) {
    if (appState.screenMode == target.mode ||
        showMessageBox(target.question, SCREEN_CAPTION, MB_STYLE_YES_NO_QUESTION) !=
            MB_ANSWER_YES) {
        return;
    }
    writeLogicalPixels(target.logicalPixels);
    appState.screenMode = target.mode;
    restartDevice();
}

} // namespace

std::uint32_t readLogicalPixels() {
    std::uint32_t value = 0;
    const RegistryKey key = openRegistryKey(DISPLAY_DRIVER_KEY, REGISTRY_READ_ACCESS);
    queryRegistryNumber(key, LOGICAL_PIXELS_X_VALUE, value);
    closeRegistryKey(key);
    return value;
}

void probeScreenMode() {
    if (systemMetric(METRIC_SCREEN_WIDTH) <= QVGA_WIDTH) {
        return;
    }
    appState.vgaScreen = 1;
    appState.screenMode = modeOfLogicalPixels(readLogicalPixels());
    if (fileExists(PURE_VGA_RESOURCES)) {
        appState.pureVgaAvailable = 1;
    }
}

void switchToVga() {
    switchScreenMode(VGA_MODE);
}

void switchToPureVga() {
    switchScreenMode(PURE_VGA_MODE);
}
