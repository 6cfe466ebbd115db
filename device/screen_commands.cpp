#include "device/screen_commands.h"

#include "device/screen_modes.h"
#include "device/screen_rotation.h"
#include "platform/display_settings.h"

void handleScreenCommand(std::uint32_t id) {
    switch (id) {
    case COMMAND_SCREEN_VGA:
        switchToVga();
        break;
    case COMMAND_SCREEN_PURE_VGA:
        switchToPureVga();
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
