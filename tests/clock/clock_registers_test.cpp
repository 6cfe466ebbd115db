#include "clock/clock_registers.h"

#include "platform/sim/sim_handheld.h"
#include "tests/support/sim_test_fixture.h"

namespace {

class ClockRegistersTest : public SimTest {};

TEST_F(ClockRegistersTest, ReadsTheCccrThroughAFreshWindow) {
    runningWith(ClockFamily::Pxa27x, 0x02000290, 0x9);
    EXPECT_EQ(readCccr(), 0x02000290u);
    EXPECT_EQ(simProcessor.pagesCopied, 1);
}

TEST_F(ClockRegistersTest, AWindowThatCannotBeMappedReadsAsZeroSilently) {
    simProcessor.faults.copyCccrPage = true;
    EXPECT_EQ(readCccr(), 0u);
    EXPECT_EQ(simHandheld.errorBeeps, 0);
    EXPECT_EQ(simHandheld.messageBoxCount, 0);
}

TEST_F(ClockRegistersTest, FastBusModeWritesExactlyElevenOrThree) {
    struct Row {
        bool on;
        std::uint32_t written;
        std::uint8_t fastBus;
    };
    for (const Row row : {Row{true, 11, 1}, Row{false, 3, 0}, Row{true, 11, 1}}) {
        const int before = simProcessor.writeCount;
        setFastBusMode(row.on);
        EXPECT_EQ(simProcessor.writeCount, before + 1);
        EXPECT_EQ(writtenCclkcfg(before), row.written);
        EXPECT_EQ(appState.fastBus, row.fastBus);
    }
    EXPECT_EQ(simHandheld.errorBeeps, 0);
}

TEST_F(ClockRegistersTest, AFaultInFastBusModeBeepsOnceAndKeepsTheFlag) {
    simProcessor.faults.writeCclkcfg = true;
    appState.fastBus = 1;
    setFastBusMode(false);
    EXPECT_EQ(appState.fastBus, 1);
    EXPECT_EQ(simHandheld.errorBeeps, 1);
    EXPECT_EQ(simProcessor.writeCount, 0);
}

TEST_F(ClockRegistersTest, TurboBitIsReadFromCclkcfg) {
    simProcessor.cclkcfg = 0x9;
    EXPECT_TRUE(isTurboActive());
    simProcessor.cclkcfg = 0x8;
    EXPECT_FALSE(isTurboActive());
}

// A faulted read has no value of its own: the last good reading answers, and
// before any, turbo on (as every change word sets it).
TEST_F(ClockRegistersTest, AFaultedTurboReadAnswersWithTheLastGoodReading) {
    struct Row {
        const char* before;
        bool readFirst;
        std::uint32_t cclkcfgRead;
        std::uint32_t cclkcfgAtFault;
        bool turbo;
    };
    const Row rows[] = {
        {"turbo read off", true, 0x8, 0x9, false},
        {"turbo read on", true, 0x1, 0x0, true},
        {"nothing read", false, 0x0, 0x0, true},
    };
    for (const Row& row : rows) {
        startOver();
        simProcessor.cclkcfg = row.cclkcfgRead;
        if (row.readFirst) {
            isTurboActive();
        }
        simProcessor.cclkcfg = row.cclkcfgAtFault;
        simProcessor.faults.readCclkcfg = true;
        EXPECT_EQ(isTurboActive(), row.turbo) << row.before;
        EXPECT_EQ(simProcessor.faultsRaised, 1) << row.before;
    }
}

} // namespace
