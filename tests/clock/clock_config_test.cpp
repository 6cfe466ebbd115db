#include "clock/clock_config.h"

#include "clock/clock_arithmetic.h"
#include "clock/clock_menu.h"
#include "clock/clock_registers.h"
#include "clock/processor_detection.h"
#include "tests/support/allocation_counter.h"
#include "tests/support/sim_test_fixture.h"
#include "trayicon/icon_renderer.h"

#include <cstdint>

namespace {

constexpr std::uint32_t TURBO_FAST_BUS = 0x9;

class ClockConfigTest : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        runningWith(ClockFamily::Pxa27x, 0x02000210, TURBO_FAST_BUS);
        iconInNotificationArea();
    }

    static void expectNothingWritten() {
        EXPECT_EQ(simProcessor.writeCount, 0);
        EXPECT_EQ(iconRedraws(), 0);
    }
};

TEST_F(ClockConfigTest, WritesTheCccrThenStartsTheChangeAndRedraws) {
    applyClockConfig(0x02000290);
    ASSERT_EQ(simProcessor.writeCount, 2);
    EXPECT_EQ(simProcessor.writes[0].target, SimRegisterWrite::Cccr);
    EXPECT_EQ(simProcessor.writes[0].value, 0x02000290u);
    EXPECT_EQ(simProcessor.writes[1].target, SimRegisterWrite::Cclkcfg);
    EXPECT_EQ(simProcessor.runningCccr, 0x02000290u); // the change sequence took it up
    EXPECT_EQ(appState.currentCccr, 0x02000290u);
    EXPECT_EQ(iconRedraws(), 1);
    EXPECT_EQ(appState.lastIconReading, 520); // the frequency icon follows
}

// The change word sets turbo, so the frequency drawn is the turbo frequency even
// when turbo was read as off before, also when the redraw cannot read it back.
TEST_F(ClockConfigTest, AnAppliedConfigurationIsDrawnWithTurboOn) {
    for (const bool redrawReadFaults : {false, true}) {
        startOver();
        runningWith(ClockFamily::Pxa27x, 0x02000208, 0x0);
        refreshTrayIcon();
        ASSERT_EQ(appState.lastIconReading, 104); // L 8 without turbo
        simProcessor.faults.readCclkcfg = redrawReadFaults;
        applyClockConfig(0x02000290);
        EXPECT_EQ(appState.lastIconReading, 520) << "read faults " << redrawReadFaults;
        EXPECT_EQ(simProcessor.faultsRaised, redrawReadFaults ? 1 : 0);
    }
}

TEST_F(ClockConfigTest, ImageZeroIsNeverWritten) {
    applyClockConfig(0);
    expectNothingWritten();
    EXPECT_EQ(simProcessor.pagesCopied, 0);
    EXPECT_EQ(simHandheld.errorBeeps, 0);
}

TEST_F(ClockConfigTest, FastBusModeGoesWithTheChangeOnPxa27xOnly) {
    struct Row {
        ClockFamily family;
        std::uint8_t fastBus;
        std::uint32_t cclkcfg;
    };
    constexpr Row rows[] = {
        {ClockFamily::Pxa27x, 1, 11},
        {ClockFamily::Pxa27x, 0, 3},
        {ClockFamily::Pxa25x, 1, 3},
        {ClockFamily::Pxa25x, 0, 3},
    };
    for (const Row& row : rows) {
        startOver();
        runningWith(row.family, 0x00000241, TURBO_FAST_BUS);
        appState.fastBus = row.fastBus;
        applyClockConfig(0x00000141);
        EXPECT_EQ(writtenCclkcfg(0), row.cclkcfg);
    }
}

TEST_F(ClockConfigTest, AWindowThatCannotBeMappedBeepsAndChangesNothing) {
    simProcessor.faults.copyCccrPage = true;
    applyClockConfig(0x02000290);
    expectNothingWritten();
    EXPECT_EQ(simHandheld.errorBeeps, 1);
    EXPECT_EQ(appState.currentCccr, 0x02000210u);
}

TEST_F(ClockConfigTest, AFaultDuringTheWriteIsSilentAndKeepsTheConfiguration) {
    for (bool SimProcessorFaults::*fault :
         {&SimProcessorFaults::storeCccr, &SimProcessorFaults::writeCclkcfg}) {
        startOver();
        simProcessor.faults.*fault = true;
        applyClockConfig(0x02000290);
        EXPECT_EQ(appState.currentCccr, 0x02000210u);
        EXPECT_EQ(simProcessor.runningCccr, 0x02000210u);
        EXPECT_EQ(iconRedraws(), 0);
        EXPECT_EQ(simHandheld.errorBeeps, 0);
        EXPECT_EQ(simHandheld.messageBoxCount, 0);
    }
}

// The store and the change word are the apply's only register accesses: a
// fault on either keeps the configuration, a fault planted beyond them waits.
TEST_F(ClockConfigTest, AFaultPlantedAheadFallsOnThatAccessOfTheApply) {
    struct Row {
        int accessesBeforeFault;
        std::uint32_t cccrAfter;
        int countdownAfter;
    };
    // The third access is the redraw's read of the turbo bit, after the apply.
    for (const Row row : {Row{1, 0x02000210, 0}, Row{2, 0x02000210, 0}, Row{3, 0x02000290, 0},
                          Row{4, 0x02000290, 1}}) {
        startOver();
        simProcessor.faults.accessesBeforeFault = row.accessesBeforeFault;
        applyClockConfig(0x02000290);
        EXPECT_EQ(appState.currentCccr, row.cccrAfter) << row.accessesBeforeFault;
        EXPECT_EQ(simProcessor.faults.accessesBeforeFault, row.countdownAfter);
        EXPECT_EQ(simProcessor.faultsRaised, row.countdownAfter == 0 ? 1 : 0);
        EXPECT_EQ(simHandheld.errorBeeps, 0);
        EXPECT_FALSE(simProcessor.kernelMode);
    }
}

TEST_F(ClockConfigTest, EnforcementWritesOnlyWhenTheRegisterDrifted) {
    enforceClockConfig();
    expectNothingWritten();
    EXPECT_EQ(simProcessor.pagesCopied, 1); // one look at the register

    simProcessor.cccr = 0x03000210; // someone changed bits 31:16 only
    enforceClockConfig();
    EXPECT_EQ(writtenCccr(0), 0x02000210u);
    EXPECT_EQ(simProcessor.cccr, 0x02000210u);
}

TEST_F(ClockConfigTest, EnforcementOfAnUnreadableRegisterBeepsEveryTick) {
    simProcessor.faults.copyCccrPage = true;
    for (int tick = 1; tick <= 3; ++tick) {
        enforceClockConfig();
        EXPECT_EQ(simHandheld.errorBeeps, tick);
    }
    expectNothingWritten();
}

TEST_F(ClockConfigTest, WithoutClockControlEnforcementTouchesNothing) {
    appState.clockFamily = ClockFamily::None;
    simProcessor.cccr = 0x02000104;
    enforceClockConfig();
    expectNothingWritten();
    EXPECT_EQ(simProcessor.pagesCopied, 0);
}

TEST_F(ClockConfigTest, ListSelectionKeepsTheUpperBitsAndFollowsTheRunBase) {
    runningWith(ClockFamily::Pxa27x, 0x02000208, TURBO_FAST_BUS);
    selectFrequencyIndex(3);
    EXPECT_EQ(appState.currentCccr, 0x02000190u);

    startOver();
    runningWith(ClockFamily::Pxa27x, 0x02000208, TURBO_FAST_BUS);
    appState.highClocksAllowed = 0;
    selectFrequencyIndex(3);
    EXPECT_EQ(appState.currentCccr, 0x02000308u);
}

TEST_F(ClockConfigTest, FieldCommandsApplyTheReplacedField) {
    setTurboRatio(5);
    EXPECT_EQ(appState.currentCccr, 0x02000290u);
    setRunMultiplier(8);
    EXPECT_EQ(appState.currentCccr, 0x02000288u);
    EXPECT_EQ(appState.highClocksAllowed, 0);
    setRunMultiplier(16);
    EXPECT_EQ(appState.highClocksAllowed, 1);

    runningWith(ClockFamily::Pxa25x, 0x00000241, 0x1);
    setMemoryMultiplier(1);
    EXPECT_EQ(appState.currentCccr, 0x00000221u);
}

TEST_F(ClockConfigTest, RunMultiplierSetsTheRunBaseFlagEvenWhenTheApplyFails) {
    appState.highClocksAllowed = 0;
    simProcessor.faults.copyCccrPage = true;
    setRunMultiplier(20);
    EXPECT_EQ(simHandheld.errorBeeps, 1);
    EXPECT_EQ(appState.currentCccr, 0x02000210u);
    EXPECT_EQ(appState.highClocksAllowed, 1);
}

struct PresetRow {
    ClockFamily family;
    std::uint8_t highClocks;
    std::intptr_t preset;
    std::uint32_t userCccr;
    std::uint32_t applied; // 0: nothing is written
};

constexpr PresetRow EXTERNAL_PRESETS[] = {
    {ClockFamily::Pxa27x, 1, 0, 0, 0x02000104}, {ClockFamily::Pxa27x, 1, 5, 0, 0x02000290},
    {ClockFamily::Pxa27x, 1, 8, 0, 0x02000410}, {ClockFamily::Pxa27x, 0, 3, 0, 0x02000308},
    {ClockFamily::Pxa27x, 0, 5, 0, 0}, // no 520 MHz without the 208 MHz base
    {ClockFamily::Pxa27x, 0, 8, 0, 0},          {ClockFamily::Pxa27x, 1, 9, 0x00000190, 0x00000190},
    {ClockFamily::Pxa27x, 1, 9, 0, 0},          {ClockFamily::Pxa27x, 1, 10, 0, 0},
    {ClockFamily::Pxa27x, 1, -1, 0, 0},         {ClockFamily::Pxa25x, 1, 1, 0, 0x00000121},
    {ClockFamily::Pxa25x, 1, 6, 0, 0x00000341}, {ClockFamily::Pxa25x, 1, 0, 0, 0},
    {ClockFamily::Pxa25x, 1, 7, 0, 0},          {ClockFamily::Pxa25x, 1, 8, 0, 0},
    {ClockFamily::Pxa25x, 1, 12, 0, 0},         {ClockFamily::Pxa25x, 1, 9, 0x000001C1, 0x000001C1},
    {ClockFamily::None, 1, 4, 0x00000190, 0},   {ClockFamily::None, 1, 9, 0x00000190, 0},
};

TEST_F(ClockConfigTest, ExternalPresetsByFamilyAndFlags) {
    for (const PresetRow& row : EXTERNAL_PRESETS) {
        startOver();
        runningWith(row.family == ClockFamily::None ? ClockFamily::Pxa27x : row.family,
                    row.family == ClockFamily::Pxa25x ? 0x00000241 : 0x02000208, TURBO_FAST_BUS);
        appState.clockFamily = row.family;
        appState.highClocksAllowed = row.highClocks;
        appState.userCccr = row.userCccr;
        applyExternalPreset(row.preset);
        SCOPED_TRACE(testing::Message()
                     << "preset " << row.preset << " family " << static_cast<int>(row.family));
        if (row.applied == 0) {
            EXPECT_EQ(simProcessor.writeCount, 0);
        } else {
            EXPECT_EQ(writtenCccr(0), row.applied);
        }
        EXPECT_EQ(simHandheld.errorBeeps, 0) << "nothing to apply is no failure";
    }
}

// A stored user preset reaches the register only when the program's own
// commands could have made it on this family; otherwise one beep, no write,
// and the stored value stays. Every way of asking for it behaves alike.
struct UserPresetRow {
    ClockFamily family;
    std::uint32_t userCccr;
    bool applied;
};

constexpr UserPresetRow USER_PRESETS[] = {
    {ClockFamily::Pxa27x, 0x02000190, true},  // 312 MHz: L 16, 2N 3
    {ClockFamily::Pxa27x, 0x0000041F, true},  // L 31, 2N 8
    {ClockFamily::Pxa27x, 0x00000102, true},  // L 2, 2N 2
    {ClockFamily::Pxa27x, 0x00000290, true},  // 520 MHz
    {ClockFamily::Pxa27x, 0x00000280, false}, // L 0
    {ClockFamily::Pxa27x, 0x00000281, false}, // L 1
    {ClockFamily::Pxa27x, 0x00000010, false}, // 2N 0
    {ClockFamily::Pxa27x, 0x00000090, false}, // 2N 1
    {ClockFamily::Pxa27x, 0x00000490, false}, // 2N 9
    {ClockFamily::Pxa27x, 0x00000810, false}, // bit 11: 2N overflowed its field
    {ClockFamily::Pxa27x, 0x0000C110, false}, // bits 15:14
    {ClockFamily::Pxa27x, 0x02000245, false}, // bits 6:5, a field the PXA27x does not have
    {ClockFamily::Pxa27x, 0x00000230, false}, // bit 5
    {ClockFamily::Pxa25x, 0x00000341, true},  // 600 MHz: L 1, M 2, N 6
    {ClockFamily::Pxa25x, 0x00000165, true},  // L 5, M 3, N 2
    {ClockFamily::Pxa25x, 0x00000101, false}, // M 0
    {ClockFamily::Pxa25x, 0x00000120, false}, // L 0
    {ClockFamily::Pxa25x, 0x00000126, false}, // L 6
    {ClockFamily::Pxa25x, 0x000000A1, false}, // N 1
    {ClockFamily::Pxa25x, 0x000003A1, false}, // N 7
    {ClockFamily::Pxa25x, 0x00000421, false}, // bit 10
    {ClockFamily::Pxa25x, 0x00000410, false}, // a PXA27x image
};

TEST_F(ClockConfigTest, AStoredUserPresetIsAppliedOnlyWhenTheCommandsCouldHaveMadeIt) {
    constexpr std::uint32_t USER_PRESET_COMMAND_ID = 10016;
    void (*const paths[])() = {[] { applyStartupPreset(9); }, [] { applyExternalPreset(9); },
                               [] { handleClockCommand(USER_PRESET_COMMAND_ID); }};
    for (const UserPresetRow& row : USER_PRESETS) {
        for (const auto path : paths) {
            startOver();
            runningWith(row.family, row.family == ClockFamily::Pxa25x ? 0x241 : 0x208, 0x1);
            appState.userCccr = row.userCccr;
            path();
            SCOPED_TRACE(testing::Message() << std::hex << row.userCccr);
            if (row.applied) {
                EXPECT_EQ(writtenCccr(0), row.userCccr);
                EXPECT_EQ(simHandheld.errorBeeps, 0);
            } else {
                EXPECT_EQ(simProcessor.writeCount, 0);
                EXPECT_EQ(simHandheld.errorBeeps, 1);
            }
            EXPECT_EQ(appState.userCccr, row.userCccr);
        }
    }
}

TEST_F(ClockConfigTest, StartupPresetZeroOnPxa25xAppliesNothing) {
    runningWith(ClockFamily::Pxa25x, 0x00000241, 0x1);
    applyStartupPreset(0);
    expectNothingWritten();
    applyStartupPreset(4);
    EXPECT_EQ(writtenCccr(0), 0x00000241u);
}

} // namespace

namespace {

// Clock control runs every second for as long as the device is on: it must not
// touch the heap.
TEST_F(ClockConfigTest, ClockOperationsAllocateNoHeapMemory) {
    const std::size_t before = heapAllocations();
    readClockState(detectProcessor(), false);
    applyStartupPreset(4);
    for (int tick = 0; tick < 10; ++tick) {
        simProcessor.cccr ^= 0x00010000;
        enforceClockConfig();
    }
    selectFrequencyIndex(2);
    setTurboRatio(4);
    setRunMultiplier(16);
    setMemoryMultiplier(2);
    applyExternalPreset(9);
    setFastBusMode(false);
    simProcessor.faults.storeCccr = true;
    applyClockConfig(0x02000290);
    const std::uint32_t mhz = cccrToMhz(appState.currentCccr, true) + memoryClockMhz(0x0210);
    const int index = cccrToMenuIndex(appState.currentCccr, true);
    EXPECT_EQ(heapAllocations(), before) << mhz << index;
}

} // namespace
