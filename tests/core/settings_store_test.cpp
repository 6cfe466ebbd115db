#include "core/settings_store.h"
#include "trayicon/icon_settings.h"

#include "platform/sim/sim_graphics.h"
#include "platform/sim/sim_registry.h"
#include "tests/support/sim_test_fixture.h"
#include "trayicon/tray_icon.h"

#include <cstdint>

namespace {

constexpr const char16_t* SETTINGS_KEY = u"SOFTWARE\\Dunmar\\Tavil";
constexpr std::uint32_t NUMBER_TYPE = 4;

void storeNumber(const char16_t* name, std::uint32_t value) {
    simSetRegistryValue(SETTINGS_KEY, name, NUMBER_TYPE, &value, sizeof value);
}

std::uint32_t storedNumber(const char16_t* name) {
    std::uint32_t value = 0xDEADBEEF;
    EXPECT_TRUE(simGetRegistryNumber(SETTINGS_KEY, name, value)) << "no 4-byte value stored";
    return value;
}

class SettingsStoreTest : public SimTest {};

TEST_F(SettingsStoreTest, WithoutTheKeyEveryDefaultStays) {
    loadSettings();
    EXPECT_EQ(appState.minLimit, 1u);
    EXPECT_EQ(appState.maxLimit, 6u);
    EXPECT_EQ(appState.iconView, 1u);
    EXPECT_EQ(appState.userCccr, 0u);
    EXPECT_EQ(appState.iconColors, 0x000C000Bu);
    EXPECT_FALSE(simRegistryKeyExists(SETTINGS_KEY)); // loading creates nothing
}

TEST_F(SettingsStoreTest, StoredValuesAreCorrectedOnLoad) {
    struct Row {
        const char16_t* name;
        std::uint32_t stored;
        ClockFamily family;
        std::uint32_t AppState::*field;
        std::uint32_t loaded;
    };
    constexpr Row rows[] = {
        {u"MinFreq", 3, ClockFamily::Pxa27x, &AppState::minLimit, 2},
        {u"MinFreq", 0xFFFFFFFF, ClockFamily::Pxa27x, &AppState::minLimit, 2},
        {u"MinFreq", 0, ClockFamily::Pxa27x, &AppState::minLimit, 0},
        {u"MaxFreq", 0, ClockFamily::Pxa27x, &AppState::maxLimit, 4},
        {u"MaxFreq", 9, ClockFamily::Pxa27x, &AppState::maxLimit, 8},
        {u"MaxFreq", 7, ClockFamily::Pxa25x, &AppState::maxLimit, 6},
        {u"MaxFreq", 7, ClockFamily::Pxa27x, &AppState::maxLimit, 7},
        {u"MaxFreq", 7, ClockFamily::None, &AppState::maxLimit, 7},
        {u"View", 6, ClockFamily::Pxa27x, &AppState::iconView, 0},
        {u"View", 0xFFFFFFFF, ClockFamily::Pxa27x, &AppState::iconView, 0},
        {u"View", 5, ClockFamily::Pxa27x, &AppState::iconView, 5},
        {u"UserFreq", 0x02A50290, ClockFamily::Pxa27x, &AppState::userCccr, 0x02A50290},
        {u"Color", 0x12345678, ClockFamily::Pxa27x, &AppState::iconColors, 0x00040008},
    };
    for (const Row& row : rows) {
        startOver();
        appState.clockFamily = row.family;
        storeNumber(row.name, row.stored);
        loadSettings();
        EXPECT_EQ(appState.*row.field, row.loaded)
            << "stored " << row.stored << " family " << static_cast<int>(row.family);
    }
}

TEST_F(SettingsStoreTest, AnAbsentMaximumKeepsItsDefaultOnPxa25x) {
    appState.clockFamily = ClockFamily::Pxa25x;
    storeNumber(u"MinFreq", 0);
    loadSettings();
    EXPECT_EQ(appState.minLimit, 0u);
    EXPECT_EQ(appState.maxLimit, 6u);
}

// A value of another size never leaves partial bytes in its field: the field
// keeps its value and the correction still runs.
TEST_F(SettingsStoreTest, ValuesOfAnotherSizeLeaveTheirFieldAlone) {
    const std::uint8_t twoBytes[] = {0x03, 0x00};
    const std::uint8_t eightBytes[] = {0x05, 0, 0, 0, 0x07, 0, 0, 0};
    const char16_t text[] = u"12345";
    simSetRegistryValue(SETTINGS_KEY, u"MinFreq", 3, twoBytes, sizeof twoBytes);
    simSetRegistryValue(SETTINGS_KEY, u"View", 3, eightBytes, sizeof eightBytes);
    simSetRegistryValue(SETTINGS_KEY, u"Color", 1, text, sizeof text);
    appState.minLimit = 7; // out of range before the load: the correction still applies
    loadSettings();
    EXPECT_EQ(appState.minLimit, 2u);
    EXPECT_EQ(appState.iconView, 1u);
    EXPECT_EQ(appState.iconColors, 0x000C000Bu);
}

TEST_F(SettingsStoreTest, WritersSetTheFieldAndStoreTheValue) {
    saveMinLimit(0);
    saveMaxLimit(8);
    saveUserCccr(0x02000290);
    EXPECT_EQ(appState.minLimit, 0u);
    EXPECT_EQ(appState.maxLimit, 8u);
    EXPECT_EQ(appState.userCccr, 0x02000290u);
    EXPECT_EQ(storedNumber(u"MinFreq"), 0u);
    EXPECT_EQ(storedNumber(u"MaxFreq"), 8u);
    EXPECT_EQ(storedNumber(u"UserFreq"), 0x02000290u);
    saveUserCccr(0);
    EXPECT_EQ(storedNumber(u"UserFreq"), 0u);
}

TEST_F(SettingsStoreTest, AValueThatCannotBeStoredStaysInForceForThisRun) {
    for (bool SimRegistryFaults::*fault :
         {&SimRegistryFaults::createKey, &SimRegistryFaults::setValue}) {
        startOver();
        simRegistryFaults.*fault = true;
        saveMaxLimit(5);
        EXPECT_EQ(appState.maxLimit, 5u);
        EXPECT_FALSE(simRegistryValueExists(SETTINGS_KEY, u"MaxFreq"));
    }
}

TEST_F(SettingsStoreTest, ColourChoicesFoldIntoTheColourWord) {
    struct Row {
        std::uint32_t before;
        std::uint32_t choice;
        std::uint32_t after;
    };
    constexpr Row rows[] = {
        {0x000C000B, 0, 0x000C0000}, {0x000C000B, 3, 0x000C000B},  {0x000C000B, 1, 0x000C0009},
        {0x000C000B, 7, 0x000C000F}, {0x000C000B, 8, 0x0000000B},  {0x000C000B, 15, 0x000F000B},
        {0x000F000B, 0, 0x000F0000}, {0x00000000, 12, 0x000C0000},
    };
    for (const Row& row : rows) {
        appState.iconColors = row.before;
        saveIconColor(row.choice);
        EXPECT_EQ(appState.iconColors, row.after) << "choice " << row.choice;
        EXPECT_EQ(storedNumber(u"Color"), row.after);
    }
}

TEST_F(SettingsStoreTest, ModeAndColourChangesRedrawAtOnceEvenWhenUnchanged) {
    runningWith(ClockFamily::Pxa27x, 0x02000210, 0x9);
    appState.iconView = static_cast<std::uint32_t>(IconView::Load);
    addTrayIcon(static_cast<WindowHandle>(7));
    const int redraws = iconRedraws();

    saveIconColor(8); // black background, the load still 0 %
    EXPECT_EQ(iconRedraws(), redraws + 1);
    EXPECT_EQ(simNotificationArea.shown.argb[16 * 4 + 2], 0xFF000000u);

    saveIconView(static_cast<std::uint32_t>(IconView::Load)); // the mode already set
    EXPECT_EQ(iconRedraws(), redraws + 2);
    EXPECT_EQ(storedNumber(u"View"), 2u);
    removeTrayIcon(static_cast<WindowHandle>(7));
}

} // namespace
