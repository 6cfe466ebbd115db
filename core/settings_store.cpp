#include "core/settings_store.h"

#include "core/app_state.h"
#include "platform/registry.h"

#include <algorithm>

namespace {

constexpr const char16_t* SETTINGS_KEY = u"SOFTWARE\\Dunmar\\Tavil";
constexpr const char16_t* MIN_LIMIT_VALUE = u"MinFreq";
constexpr const char16_t* MAX_LIMIT_VALUE = u"MaxFreq";
constexpr const char16_t* ICON_VIEW_VALUE = u"View";
constexpr const char16_t* USER_CCCR_VALUE = u"UserFreq";
constexpr const char16_t* ICON_COLORS_VALUE = u"Color";

constexpr std::uint32_t HIGHEST_MIN_LIMIT = 2;
constexpr std::uint32_t LOWEST_MAX_LIMIT = 4;
constexpr std::uint32_t HIGHEST_MAX_LIMIT = 8;
constexpr std::uint32_t HIGHEST_PXA25X_MAX_LIMIT = 6;
constexpr std::uint32_t HIGHEST_ICON_VIEW = 5;
constexpr std::uint32_t ICON_COLORS_MASK = 0x000F000F;

void storeValue(const char16_t* name, std::uint32_t value) {
    const RegistryKey key = createRegistryKey(SETTINGS_KEY);
    setRegistryNumber(key, name, value);
    closeRegistryKey(key);
}

void correctLoadedValues() {
    appState.minLimit = std::min(appState.minLimit, HIGHEST_MIN_LIMIT);
    appState.maxLimit = std::clamp(appState.maxLimit, LOWEST_MAX_LIMIT, HIGHEST_MAX_LIMIT);
    if (appState.clockFamily == ClockFamily::Pxa25x) {
        appState.maxLimit = std::min(appState.maxLimit, HIGHEST_PXA25X_MAX_LIMIT);
    }
    if (appState.iconView > HIGHEST_ICON_VIEW) {
        appState.iconView = static_cast<std::uint32_t>(IconView::Normal);
    }
    appState.iconColors &= ICON_COLORS_MASK;
}

} // namespace

void loadSettings() {
    const RegistryKey key = openRegistryKey(SETTINGS_KEY, REGISTRY_READ_ACCESS);
    if (key == RegistryKey::None) {
        return;
    }
    queryRegistryNumber(key, MIN_LIMIT_VALUE, appState.minLimit);
    queryRegistryNumber(key, MAX_LIMIT_VALUE, appState.maxLimit);
    queryRegistryNumber(key, ICON_VIEW_VALUE, appState.iconView);
    queryRegistryNumber(key, USER_CCCR_VALUE, appState.userCccr);
    queryRegistryNumber(key, ICON_COLORS_VALUE, appState.iconColors);
    correctLoadedValues();
    closeRegistryKey(key);
}

void saveMinLimit(std::uint32_t value) {
    appState.minLimit = value;
    storeValue(MIN_LIMIT_VALUE, value);
}

void saveMaxLimit(std::uint32_t value) {
    appState.maxLimit = value;
    storeValue(MAX_LIMIT_VALUE, value);
}

void saveUserCccr(std::uint32_t value) {
    appState.userCccr = value;
    storeValue(USER_CCCR_VALUE, value);
}

void storeIconView() {
    storeValue(ICON_VIEW_VALUE, appState.iconView);
}

void storeIconColors() {
    storeValue(ICON_COLORS_VALUE, appState.iconColors);
}
