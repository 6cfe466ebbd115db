#include "trayicon/icon_settings.h"

#include "core/app_state.h"
#include "core/settings_store.h"
#include "trayicon/icon_renderer.h"

namespace {

constexpr std::uint32_t TEXT_COLOR_BITS = 0x0000000F;
constexpr std::uint32_t BACKGROUND_COLOR_BITS = 0x000F0000;
constexpr int BACKGROUND_SHIFT = 16;
constexpr std::uint32_t FIRST_BACKGROUND_CHOICE = 8;

// Palette entries in menu order: black, red, green, yellow, blue, violet, light
// blue, white; black is index 0, the others 9 and up.
std::uint32_t paletteIndexOfChoice(std::uint32_t colorChoice) {
    return colorChoice == 0 ? 0 : colorChoice + 8;
}

} // namespace

void saveIconView(std::uint32_t mode) {
    appState.iconView = mode;
    forceIconRedraw();
    refreshTrayIcon();
    storeIconView();
}

void saveIconColor(std::uint32_t choice) {
    if (choice < FIRST_BACKGROUND_CHOICE) {
        appState.iconColors = (appState.iconColors & BACKGROUND_COLOR_BITS) +
                              (paletteIndexOfChoice(choice) & TEXT_COLOR_BITS);
    } else {
        const std::uint32_t background = paletteIndexOfChoice(choice - FIRST_BACKGROUND_CHOICE);
        appState.iconColors = (appState.iconColors & TEXT_COLOR_BITS) +
                              ((background << BACKGROUND_SHIFT) & BACKGROUND_COLOR_BITS);
    }
    forceIconRedraw();
    refreshTrayIcon();
    storeIconColors();
}
