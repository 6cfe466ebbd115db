#include "device/screen_commands.h"

#include "device/screen_modes.h"
#include "device/screen_rotation.h"
#include "platform/display_settings.h"
#include "platform/message_box.h"
#include "platform/sim/sim_display.h"
#include "platform/sim/sim_registry.h"
#include "platform/system_metrics.h"
#include "tests/support/sim_test_fixture.h"

#include <cstdint>
#include <string>
#include <utility>

namespace {

constexpr const char16_t* DISPLAY_KEY = u"Drivers\\Display\\GPE";
constexpr std::uint32_t STARTING_PIXELS = 128; // the density of neither mode

void storePixels(const char16_t* name, std::uint32_t value) {
    simSetRegistryValue(DISPLAY_KEY, name, 4, &value, sizeof value);
}

// Both densities, or 0 for one that is missing.
std::pair<std::uint32_t, std::uint32_t> storedPixels() {
    std::uint32_t x = 0;
    std::uint32_t y = 0;
    simGetRegistryNumber(DISPLAY_KEY, u"LogicalPixelsX", x);
    simGetRegistryNumber(DISPLAY_KEY, u"LogicalPixelsY", y);
    return {x, y};
}

struct ModeRow {
    std::uint32_t command;
    std::uint8_t mode;
    std::uint8_t otherMode;
    std::uint32_t pixels;
    const char16_t* question;
};

constexpr ModeRow MODE_ROWS[] = {
    {COMMAND_SCREEN_VGA, 1, 2, 192, u"Установить режим VGA и выполнить перезагрузку ?"},
    {COMMAND_SCREEN_PURE_VGA, 2, 1, 96, u"Установить режим PureVGA и выполнить перезагрузку ?"},
};

class ScreenCommandsTest : public SimTest {
  protected:
    // A device in neither mode, with its display driver's key.
    void startOverWithTheDriver(std::uint8_t screenMode) {
        startOver();
        storePixels(u"LogicalPixelsX", STARTING_PIXELS);
        storePixels(u"LogicalPixelsY", STARTING_PIXELS);
        appState.screenMode = screenMode;
    }
};

TEST_F(ScreenCommandsTest, AgreeingToAModeStoresItsDensityAndRestarts) {
    for (const ModeRow& row : MODE_ROWS) {
        startOverWithTheDriver(row.otherMode);
        scriptMessageBoxAnswer(MB_ANSWER_YES);
        handleScreenCommand(row.command);
        ASSERT_EQ(simHandheld.messageBoxCount, 1);
        EXPECT_EQ(std::u16string(simHandheld.messageBoxes[0].text), row.question);
        EXPECT_EQ(std::u16string(simHandheld.messageBoxes[0].caption), u"Экран");
        EXPECT_EQ(simHandheld.messageBoxes[0].style, MB_STYLE_YES_NO_QUESTION);
        EXPECT_EQ(storedPixels(), std::pair(row.pixels, row.pixels));
        EXPECT_EQ(appState.screenMode, row.mode);
        EXPECT_EQ(simDisplay.restarts, 1);
    }
}

// Declined, already in force, QVGA, or not a screen command at all.
TEST_F(ScreenCommandsTest, OtherwiseNothingChanges) {
    struct Row {
        std::uint32_t command;
        std::uint8_t screenMode;
        int answer;
        int questions;
    };
    constexpr Row rows[] = {
        {COMMAND_SCREEN_VGA, 0, MB_ANSWER_NO, 1},
        {COMMAND_SCREEN_PURE_VGA, 0, MB_ANSWER_NO, 1},
        {COMMAND_SCREEN_VGA, 1, MB_ANSWER_YES, 0},
        {COMMAND_SCREEN_PURE_VGA, 2, MB_ANSWER_YES, 0},
        {COMMAND_SCREEN_QVGA, 1, MB_ANSWER_YES, 0},
        {10080, 0, MB_ANSWER_YES, 0},
        {10088, 0, MB_ANSWER_YES, 0},
        {0xFFFFFFFF, 0, MB_ANSWER_YES, 0},
    };
    for (const Row& row : rows) {
        startOverWithTheDriver(row.screenMode);
        scriptMessageBoxAnswer(row.answer);
        handleScreenCommand(row.command);
        EXPECT_EQ(simHandheld.messageBoxCount, row.questions) << row.command;
        EXPECT_EQ(storedPixels(), std::pair(STARTING_PIXELS, STARTING_PIXELS));
        EXPECT_EQ(appState.screenMode, row.screenMode);
        EXPECT_EQ(simDisplay.restarts + simDisplay.changesApplied, 0);
    }
}

// The mode is still taken and the device restarted: its driver keeps its density.
TEST_F(ScreenCommandsTest, WithoutTheDisplayDriverKeyNoKeyIsMade) {
    for (const ModeRow& row : MODE_ROWS) {
        startOver();
        scriptMessageBoxAnswer(MB_ANSWER_YES);
        handleScreenCommand(row.command);
        EXPECT_FALSE(simRegistryKeyExists(DISPLAY_KEY));
        EXPECT_EQ(appState.screenMode, row.mode);
        EXPECT_EQ(simDisplay.restarts, 1);
    }
}

TEST_F(ScreenCommandsTest, RotationsTurnTheScreenAtOnceWithoutAsking) {
    const std::uint32_t rows[][2] = {{COMMAND_ROTATE_270, 4},
                                     {COMMAND_ROTATE_180, 2},
                                     {COMMAND_ROTATE_90, 1},
                                     {COMMAND_ROTATE_0, 0}};
    int changes = 0;
    for (const auto& [command, orientation] : rows) {
        handleScreenCommand(command);
        EXPECT_EQ(simDisplay.orientation, orientation);
        EXPECT_EQ(simDisplay.changesApplied, ++changes);
        EXPECT_EQ(queryDisplayRotation(), orientation);
    }
    EXPECT_EQ(simHandheld.messageBoxCount, 0);
}

// The device reports the turned screen's measures, which the popup menu is placed by.
TEST_F(ScreenCommandsTest, ATurnedScreenReportsItsTurnedMeasures) {
    struct Row {
        std::uint32_t command;
        int width;
        int height;
    };
    for (const Row& row : {Row{COMMAND_ROTATE_90, 320, 240}, Row{COMMAND_ROTATE_270, 320, 240},
                           Row{COMMAND_ROTATE_180, 240, 320}, Row{COMMAND_ROTATE_0, 240, 320}}) {
        handleScreenCommand(row.command);
        EXPECT_EQ(systemMetric(METRIC_SCREEN_WIDTH), row.width) << row.command;
        EXPECT_EQ(systemMetric(METRIC_SCREEN_HEIGHT), row.height) << row.command;
    }
}

TEST_F(ScreenCommandsTest, ARotationTheDisplayLacksLeavesItAsItWas) {
    simDisplay.supportedOrientations = ORIENTATION_180;
    for (const std::uint32_t orientation : {ORIENTATION_90, ORIENTATION_270, 3u, 8u}) {
        setDisplayRotation(orientation);
    }
    EXPECT_EQ(simDisplay.orientation, ORIENTATION_0);
    EXPECT_EQ(simDisplay.changesApplied, 0);
}

TEST_F(ScreenCommandsTest, RotationSupportIsWhatTheDisplayOffers) {
    EXPECT_TRUE(queryRotationSupport());
    simDisplay.supportedOrientations = 0;
    EXPECT_FALSE(queryRotationSupport());
    startOver();
    simDisplay.requestsFail = true;
    EXPECT_FALSE(queryRotationSupport());
}

TEST_F(ScreenCommandsTest, TheDensityReadsZeroUntilStored) {
    EXPECT_EQ(readLogicalPixels(), 0u);
    storePixels(u"LogicalPixelsY", 192);
    EXPECT_EQ(readLogicalPixels(), 0u);
    storePixels(u"LogicalPixelsX", 192);
    EXPECT_EQ(readLogicalPixels(), 192u);
}

} // namespace
