#include "tests/support/sim_test_fixture.h"

#include "clock/clock_registers.h"
#include "platform/live_objects.h"
#include "platform/notification_icon.h"
#include "platform/sim/sim_graphics.h"
#include "trayicon/icon_renderer.h"
#include "trayicon/tray_icon.h"

void SimTest::SetUp() {
    appState = AppState{};
    resetSimHandheld(SimProcessorKind::Pxa270);
}

void SimTest::TearDown() {
    const LiveObjectCounts live = livePlatformObjects();
    EXPECT_EQ(live.cccrWindows, 0) << "a CCCR window was not released";
    EXPECT_EQ(live.registryKeys, 0) << "a registry key was not closed";
    EXPECT_EQ(live.bitmaps, 0) << "a bitmap was not deleted";
    EXPECT_EQ(live.snapshots, 0) << "a process snapshot was not closed";
    EXPECT_EQ(live.processHandles, 0) << "a process handle was not closed";
    EXPECT_EQ(live.menus, 0) << "a menu was not destroyed";
    EXPECT_EQ(live.searches, 0) << "a file or storage-card search was not closed";
    const bool iconShown = simIconPixels(appState.notifyData.icon) != nullptr;
    EXPECT_EQ(live.icons, iconShown ? 1 : 0) << "an icon other than the one shown is alive";
    EXPECT_FALSE(simProcessor.kernelMode) << "kernel mode was left on";
}

void SimTest::useProcessor(SimProcessorKind kind) {
    resetSimProcessor(kind);
}

void SimTest::runningWith(ClockFamily family, std::uint32_t cccr, std::uint32_t cclkcfg) {
    useProcessor(family == ClockFamily::Pxa25x ? SimProcessorKind::Pxa255
                                               : SimProcessorKind::Pxa270);
    appState.clockFamily = family;
    appState.currentCccr = cccr;
    simProcessor.cccr = cccr;
    simProcessor.runningCccr = cccr;
    simProcessor.cclkcfg = cclkcfg;
    appState.readTurbo = isTurboActive;
}

static std::uint32_t written(SimRegisterWrite target, int position) {
    int seen = 0;
    for (int i = 0; i < simProcessor.writeCount && i < SIM_REGISTER_LOG_CAPACITY; ++i) {
        if (simProcessor.writes[i].target == target && seen++ == position) {
            return simProcessor.writes[i].value;
        }
    }
    ADD_FAILURE() << "no write number " << position << " to that register";
    return 0;
}

std::uint32_t SimTest::writtenCccr(int position) {
    return written(SimRegisterWrite::Cccr, position);
}

std::uint32_t SimTest::writtenCclkcfg(int position) {
    return written(SimRegisterWrite::Cclkcfg, position);
}

void SimTest::iconInNotificationArea() {
    appState.notifyData.size = NOTIFY_ICON_RECORD_SIZE;
    appState.notifyData.window = static_cast<WindowHandle>(1);
    appState.notifyData.id = TRAY_ICON_ID;
    addNotifyIcon(appState.notifyData);
    appState.clockApplied = refreshTrayIcon;
}

int SimTest::iconRedraws() {
    return simNotificationArea.modifyCalls;
}
