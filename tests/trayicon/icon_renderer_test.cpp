#include "trayicon/icon_renderer.h"

#include "clock/clock_config.h"
#include "platform/sim/sim_graphics.h"
#include "tests/support/allocation_counter.h"
#include "tests/support/sim_test_fixture.h"
#include "trayicon/reading_icon.h"
#include "trayicon/tray_icon.h"

#include <vector>

namespace {

constexpr WindowHandle MAIN_WINDOW = static_cast<WindowHandle>(0x1234);

// The colours of the palette indexes as the notification area shows them.
constexpr std::uint32_t PALETTE[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

std::vector<std::uint32_t> shownPixels() {
    const SimIconPixels& shown = simNotificationArea.shown;
    return std::vector<std::uint32_t>(shown.argb, shown.argb + shown.size * shown.size);
}

std::vector<std::uint32_t> expectedPixels(std::int32_t reading, unsigned text, unsigned background,
                                          int size) {
    const IconImage image = composeReadingIcon(reading, text, background, size);
    std::vector<std::uint32_t> pixels;
    for (int i = 0; i < size * size; ++i) {
        const std::uint8_t pixel = image.pixels[i];
        pixels.push_back(pixel == ICON_TRANSPARENT ? 0 : 0xFF000000 | PALETTE[pixel]);
    }
    return pixels;
}

class IconRendererTest : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        runningWith(ClockFamily::Pxa27x, 0x02000210, 0x9); // 416 MHz
        addTrayIcon(MAIN_WINDOW);
    }
    void TearDown() override {
        removeTrayIcon(MAIN_WINDOW);
        SimTest::TearDown();
    }
};

TEST_F(IconRendererTest, TheNotificationAreaShowsTheReadingOfEachMode) {
    struct Row {
        IconView view;
        std::int32_t reading;
    };
    simHandheld.power.batteryLifePercent = 255; // not known
    queryPowerStatus(true);                     // which the system's copy takes
    appState.cpuLoad = 57;
    const Row rows[] = {
        {IconView::Frequency, 416}, {IconView::Load, 57},      {IconView::Memory, 23},
        {IconView::Battery, 255},   {IconView::Current, -210},
    };
    for (const Row& row : rows) {
        appState.iconView = static_cast<std::uint32_t>(row.view);
        refreshTrayIcon();
        EXPECT_EQ(appState.lastIconReading, row.reading);
        EXPECT_EQ(shownPixels(), expectedPixels(row.reading, 11, 12, 16))
            << "mode " << static_cast<int>(row.view);
    }
}

TEST_F(IconRendererTest, AnUnchangedReadingCostsNoDrawingAndNoPlatformCall) {
    appState.iconView = static_cast<std::uint32_t>(IconView::Load);
    refreshTrayIcon();
    const int made = simGraphicsObjectsMade();
    const int redraws = iconRedraws();
    const std::size_t allocations = heapAllocations();
    refreshTrayIcon();
    EXPECT_EQ(simGraphicsObjectsMade(), made);
    EXPECT_EQ(iconRedraws(), redraws);
    EXPECT_EQ(heapAllocations(), allocations);

    appState.cpuLoad = 1;
    refreshTrayIcon();
    EXPECT_EQ(iconRedraws(), redraws + 1);
    EXPECT_EQ(simGraphicsObjectsMade(), made + 3); // two bitmaps and the icon
    EXPECT_EQ(heapAllocations(), allocations) << "drawing uses no heap memory";
}

TEST_F(IconRendererTest, AForcedRedrawDrawsAnUnchangedReadingInNewColours) {
    appState.iconColors = 0x000F0000; // black on white
    forceIconRedraw();
    refreshTrayIcon();
    EXPECT_EQ(shownPixels(), expectedPixels(416, 0, 15, 16));
    const int redraws = iconRedraws();
    refreshTrayIcon();
    EXPECT_EQ(iconRedraws(), redraws);
}

TEST_F(IconRendererTest, ModeNormalReloadsTheApplicationIconEveryTime) {
    appState.iconView = static_cast<std::uint32_t>(IconView::Normal);
    const int loads = simApplicationIconLoads();
    for (int i = 1; i <= 3; ++i) {
        refreshTrayIcon();
        EXPECT_EQ(simApplicationIconLoads(), loads + i);
        EXPECT_EQ(simLiveIcons(), 1); // the previous one is destroyed
    }
    EXPECT_EQ(simNotificationArea.shown.size, 16);
    EXPECT_EQ(appState.lastIconReading, 416); // not touched in this mode
}

TEST_F(IconRendererTest, ScaledScreensGetTheLargeIcon) {
    appState.iconScale = 2;
    appState.iconView = static_cast<std::uint32_t>(IconView::Load);
    appState.cpuLoad = 191;
    refreshTrayIcon();
    EXPECT_EQ(shownPixels(), expectedPixels(191, 11, 12, 32));
    appState.iconView = static_cast<std::uint32_t>(IconView::Normal);
    refreshTrayIcon();
    EXPECT_EQ(simNotificationArea.shown.size, 32);
}

// The icon asks for the system's cached battery figures, which only a fresh
// query (the Power dialog's) brings up to date.
TEST_F(IconRendererTest, BatteryReadingsShowWhatTheLastFreshQuerySaw) {
    struct Row {
        IconView view;
        std::int32_t atSwitchOn, afterFreshQuery;
    };
    const Row rows[] = {{IconView::Battery, 87, 42}, {IconView::Current, -210, -180}};
    simHandheld.power.batteryLifePercent = 42;
    simHandheld.power.batteryCurrent = -180;
    for (const Row& row : rows) {
        appState.iconView = static_cast<std::uint32_t>(row.view);
        refreshTrayIcon();
        EXPECT_EQ(appState.lastIconReading, row.atSwitchOn) << static_cast<int>(row.view);
    }
    queryPowerStatus(true);
    for (const Row& row : rows) {
        appState.iconView = static_cast<std::uint32_t>(row.view);
        refreshTrayIcon();
        EXPECT_EQ(appState.lastIconReading, row.afterFreshQuery) << static_cast<int>(row.view);
    }
}

TEST_F(IconRendererTest, AFailedPowerQueryReadsAsZero) {
    simHandheld.powerQueryFails = true;
    appState.iconView = static_cast<std::uint32_t>(IconView::Current);
    refreshTrayIcon();
    EXPECT_EQ(appState.lastIconReading, 0);
}

TEST_F(IconRendererTest, AnAppliedClockConfigurationShowsAtOnce) {
    applyClockConfig(0x02000310);
    EXPECT_EQ(shownPixels(), expectedPixels(624, 11, 12, 16));
}

// An icon that cannot be made or shown leaves the notification area with the
// reading it showed, leaks nothing, and is drawn by the next refresh.
TEST_F(IconRendererTest, AnIconThatCannotBeMadeOrShownIsTriedAgain) {
    struct Row {
        const char* failure;
        void (*inject)();
    };
    const Row rows[] = {
        {"colour and mask bitmaps refused",
         [] { simHandheld.graphics.bitmapCreationFails = true; }},
        {"icon refused", [] { simHandheld.graphics.iconCreationFails = true; }},
        {"graphics heap full after the colour bitmap",
         [] { simHandheld.graphics.liveObjectLimit = simLiveIcons() + 1; }},
        {"notification area refuses the change", [] { simNotificationArea.modifyFails = true; }},
    };
    appState.iconView = static_cast<std::uint32_t>(IconView::Load);
    for (const Row& row : rows) {
        appState.cpuLoad = 10;
        forceIconRedraw();
        refreshTrayIcon();
        const IconHandle shown = appState.notifyData.icon;

        row.inject();
        appState.cpuLoad = 20;
        refreshTrayIcon();
        EXPECT_EQ(appState.notifyData.icon, shown) << row.failure;
        EXPECT_EQ(shownPixels(), expectedPixels(10, 11, 12, 16)) << row.failure;
        EXPECT_EQ(appState.lastIconReading, 10) << row.failure;
        EXPECT_EQ(simLiveBitmaps(), 0) << row.failure;
        EXPECT_EQ(simLiveIcons(), 1) << row.failure;

        simHandheld.graphics.bitmapCreationFails = false;
        simHandheld.graphics.iconCreationFails = false;
        simHandheld.graphics.liveObjectLimit = 0;
        simNotificationArea.modifyFails = false;
        refreshTrayIcon(); // the same reading, not drawn yet
        EXPECT_EQ(shownPixels(), expectedPixels(20, 11, 12, 16)) << row.failure;
        EXPECT_EQ(simLiveIcons(), 1) << row.failure;
    }
}

class TrayIconTest : public SimTest {};

TEST_F(TrayIconTest, TheIconIsAddedWithItsRecordAndRemovedWithTheWindow) {
    runningWith(ClockFamily::Pxa27x, 0x02000210, 0x9);
    addTrayIcon(MAIN_WINDOW);
    const NotifyIconRecord& record = appState.notifyData;
    EXPECT_EQ(record.size, 152u);
    EXPECT_EQ(record.window, MAIN_WINDOW);
    EXPECT_EQ(record.id, 1u);
    EXPECT_EQ(record.flags, 7u);
    EXPECT_EQ(record.callbackMessage, 1026u);
    EXPECT_EQ(record.tip[0], u'\0');
    EXPECT_TRUE(simNotificationArea.iconPresent);
    EXPECT_EQ(simNotificationArea.callbackMessage, 1026u);
    EXPECT_EQ(shownPixels(), expectedPixels(416, 11, 12, 16));

    const IconHandle shown = record.icon;
    removeTrayIcon(MAIN_WINDOW);
    EXPECT_FALSE(simNotificationArea.iconPresent);
    EXPECT_EQ(appState.notifyData.icon, shown); // kept until the process ends
}

TEST_F(TrayIconTest, AClockChangeAfterTheIconIsRemovedDrawsNothing) {
    runningWith(ClockFamily::Pxa27x, 0x02000210, 0x9);
    addTrayIcon(MAIN_WINDOW);
    removeTrayIcon(MAIN_WINDOW);
    const int redraws = iconRedraws();
    applyClockConfig(0x02000290);
    EXPECT_EQ(iconRedraws(), redraws);
}

TEST_F(TrayIconTest, WithoutClockControlTheApplicationIconStays) {
    useProcessor(SimProcessorKind::Unrecognised);
    appState.iconView = static_cast<std::uint32_t>(IconView::Normal);
    addTrayIcon(MAIN_WINDOW);
    EXPECT_EQ(simApplicationIconLoads(), 1);
    EXPECT_EQ(iconRedraws(), 0);
    EXPECT_EQ(simNotificationArea.shown.size, 16);
    removeTrayIcon(MAIN_WINDOW);
}

TEST_F(TrayIconTest, TheFirstRefreshDrawsEvenAReadingOfZero) {
    runningWith(ClockFamily::Pxa27x, 0x02000210, 0x9);
    appState.iconView = static_cast<std::uint32_t>(IconView::Load);
    addTrayIcon(MAIN_WINDOW); // draws the load of 0 %
    EXPECT_EQ(iconRedraws(), 1);
    EXPECT_EQ(shownPixels(), expectedPixels(0, 11, 12, 16));
    removeTrayIcon(MAIN_WINDOW);
}

TEST_F(TrayIconTest, AReadingDrawnBeforeTheIconIsAddedIsDrawnAgainOverTheApplicationIcon) {
    runningWith(ClockFamily::Pxa27x, 0x02000210, 0x9);
    applyClockConfig(0x02000290); // a start-up preset, before the main window exists
    addTrayIcon(MAIN_WINDOW);
    EXPECT_EQ(shownPixels(), expectedPixels(520, 11, 12, 16));
    EXPECT_EQ(simLiveIcons(), 1);
    removeTrayIcon(MAIN_WINDOW);
}

} // namespace
