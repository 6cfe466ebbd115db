#include "shell/main_window.h"

#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_graphics.h"
#include "platform/sim/sim_menus.h"
#include "platform/sim/sim_windows.h"
#include "platform/windowing.h"
#include "shell/startup.h"
#include "tests/support/sim_test_fixture.h"
#include "trayicon/icon_renderer.h"
#include "trayicon/tray_icon.h"

namespace {

class MainWindowTest : public SimTest {
  protected:
    // The main window as start-up creates it, with the handheld running PXA27x.
    WindowHandle openMainWindow() {
        runningWith(ClockFamily::Pxa27x, 0x02000210, 0x9);
        registerWindowClass(WindowClassRecord{3, mainWindowProc, ModuleHandle::None, 0, u"Tavil"});
        return createWindow(u"Tavil", u"Tavil", 0, ModuleHandle::None);
    }

    static void closeMainWindow(WindowHandle window) {
        postMessage(window, WM_CLOSE_MESSAGE, 0, 0);
        simAllowTime(0);
        runMessageLoop();
    }
};

TEST_F(MainWindowTest, LoadIsTheBusyShareOfTheLastSecond) {
    struct Row {
        std::uint32_t lastIdle;
        std::uint32_t idleNow;
        std::int32_t load;
    };
    constexpr Row rows[] = {
        {0, 0, 100},
        {0, 250, 75},
        {0, 999, 1},
        {0, 1009, 0},
        {0, 1500, 0},
        {0xFFFFFF00, 0x100, 49},       // the counter wrapped
        {0xFFFFFFFF, 0xFFFFFFFF, 100}, // a counter not kept
    };
    appState.clockFamily = ClockFamily::None;
    for (const Row& row : rows) {
        appState.lastIdleTime = row.lastIdle;
        simClock.idleCounter = row.idleNow;
        onRefreshTick();
        EXPECT_EQ(appState.cpuLoad, row.load) << row.lastIdle << " -> " << row.idleNow;
        EXPECT_EQ(appState.lastIdleTime, row.idleNow);
    }
}

// Enforcement comes first: its redraw shows the old load, and the icon step
// then draws the load just measured.
TEST_F(MainWindowTest, TheTickEnforcesThenMeasuresThenRedraws) {
    runningWith(ClockFamily::Pxa27x, 0x02000210, 0x9);
    iconInNotificationArea();
    appState.iconView = static_cast<std::uint32_t>(IconView::Load);
    appState.cpuLoad = 33;
    simProcessor.cccr = 0x02000104; // changed behind the program's back
    simClock.idleCounter = 400;
    onRefreshTick();
    EXPECT_EQ(simProcessor.cccr, 0x02000210u);
    EXPECT_EQ(iconRedraws(), 2);
    EXPECT_EQ(appState.lastIconReading, 60);
}

TEST_F(MainWindowTest, OnlyReadingsThatChangeByThemselvesAreRedrawnByTheTick) {
    for (std::uint32_t view = 0; view <= 5; ++view) {
        startOver();
        runningWith(ClockFamily::Pxa27x, 0x02000210, 0x9);
        appState.iconView = view;
        onRefreshTick();
        EXPECT_EQ(iconRedraws(), view >= 2 ? 1 : 0) << "mode " << view;
    }
}

TEST_F(MainWindowTest, WithoutClockControlTheTickLeavesTheRegistersAlone) {
    appState.clockFamily = ClockFamily::None;
    onRefreshTick();
    EXPECT_EQ(simProcessor.pagesCopied, 0);
}

TEST_F(MainWindowTest, CreationAddsTheIconAndStartsTheSecondTimer) {
    const WindowHandle window = openMainWindow();
    EXPECT_TRUE(simNotificationArea.iconPresent);
    EXPECT_EQ(simNotificationArea.window, window);
    simAllowTime(3500);
    runMessageLoop();
    EXPECT_EQ(simProcessor.pagesCopied, 3); // one look at the register per tick
    closeMainWindow(window);
}

TEST_F(MainWindowTest, APresetRequestIsPassedOnWithItsNumber) {
    const WindowHandle window = openMainWindow();
    postMessage(window, MSG_APPLY_PRESET, 0, 5);
    simAllowTime(0);
    runMessageLoop();
    EXPECT_EQ(appState.currentCccr, 0x02000290u);
    closeMainWindow(window);
}

TEST_F(MainWindowTest, ClosingRemovesTheIconAndEndsTheLoopWithExitCodeZero) {
    const WindowHandle window = openMainWindow();
    postMessage(window, WM_COMMAND_MESSAGE, 10113, 0); // "Выход"
    simAllowTime(10000);
    runMessageLoop();
    EXPECT_FALSE(simClock.ranOutOfTime) << "the loop ended by the quit message";
    EXPECT_EQ(simWindowing.quitExitCode, 0);
    EXPECT_FALSE(simNotificationArea.iconPresent);
    EXPECT_EQ(simWindow(window), nullptr);
}

TEST_F(MainWindowTest, ATapOrASecondCopyOpensTheMenu) {
    const WindowHandle window = openMainWindow();
    for (const std::intptr_t mouse : {513, 514, 516, 0x200}) {
        mainWindowProc(window, MSG_TRAY_CALLBACK, 1, mouse);
    }
    EXPECT_EQ(simMenuTracking.count, 2) << "left and right button presses only";
    mainWindowProc(window, MSG_SHOW_MENU, 0, 0);
    EXPECT_EQ(simMenuTracking.count, 3);
    closeMainWindow(window);
}

TEST_F(MainWindowTest, OtherMessagesGoToTheDefaultHandling) {
    const WindowHandle window = openMainWindow();
    EXPECT_EQ(mainWindowProc(window, 0x0400, 1, 2), 0);
    EXPECT_EQ(simWindowing.lastDefaultHandled.message, 0x0400u);
    EXPECT_EQ(simWindowing.lastDefaultHandled.lParam, 2);
    closeMainWindow(window);
}

} // namespace
