#include "device/screen_commands.h"

#include "core/app_state.h"
#include "device/display_settings.h"
#include "platform/display_settings.h"
#include "platform/message_box.h"

namespace {

constexpr const char16_t* SCREEN_CAPTION = u"Экран";
constexpr const char16_t* VGA_QUESTION = u"Установить режим VGA и выполнить перезагрузку ?";
constexpr const char16_t* PURE_VGA_QUESTION =
    u"Установить режим PureVGA и выполнить перезагрузку ?";

// Screen modes as appState.screenMode keeps them, with their logical pixel densities.
struct ScreenMode {
    std::uint8_t mode;
    std::uint32_t logicalPixels;
    const char16_t* question;
};

constexpr ScreenMode VGA_MODE = {1, 192, VGA_QUESTION};
constexpr ScreenMode PURE_VGA_MODE = {2, 96, PURE_VGA_QUESTION};

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

void handleScreenCommand(std::uint32_t id) {
    switch (id) {
    case COMMAND_SCREEN_VGA:
        switchScreenMode(VGA_MODE);
        break;
    case COMMAND_SCREEN_PURE_VGA:
        switchScreenMode(PURE_VGA_MODE);
        break;
    case COMMAND_ROTATE_0:
        setDisplayRotation(ORIENTATION_0);
        break;
    case COMMAND_ROTATE_90:
        setDisplayRotation(ORIENTATION_90);
        break;
    case COMMAND_ROTATE_180:
        setDisplayRotation(ORIENTATION_180);
        break;
    case COMMAND_ROTATE_270:
        setDisplayRotation(ORIENTATION_270);
        break;
    case COMMAND_SCREEN_QVGA:
    default:
        break;
    }
}
