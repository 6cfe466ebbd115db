#include "tests/support/sim_test_fixture.h"

#include "platform/live_objects.h"
#include "tests/support/tray_icon_spy.h"

void SimTest::SetUp() {
    appState = AppState{};
    resetSimHandheld(SimProcessorKind::Pxa270);
    trayIconSpy = TrayIconSpy{};
}

void SimTest::TearDown() {
    EXPECT_EQ(livePlatformObjects().cccrWindows, 0) << "a CCCR window was not released";
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
