#include "clock/processor_detection.h"

#include "clock/clock_config.h"
#include "platform/message_box.h"
#include "tests/support/sim_test_fixture.h"

#include <string>

namespace {

const std::u16string NO_ACCESS_TEXT =
    u"Программа не может получить доступа к управлению. Работа будет продолжена в режиме с "
    u"ограниченной функциональностью.";

class ProcessorDetectionTest : public SimTest {
  protected:
    static void expectNoAccessMessageOnce() {
        ASSERT_EQ(simHandheld.messageBoxCount, 1);
        const SimMessageBox& shown = simHandheld.messageBoxes[0];
        EXPECT_EQ(std::u16string(shown.text), NO_ACCESS_TEXT);
        EXPECT_EQ(std::u16string(shown.caption), u"Tavil");
        EXPECT_EQ(shown.style, MB_STYLE_OK_EXCLAMATION);
    }
};

TEST_F(ProcessorDetectionTest, RecognisesEverySteppingOfBothFamiliesAndNothingElse) {
    struct Row {
        std::uint32_t mainId;
        ClockFamily family;
    };
    constexpr Row rows[] = {
        {0x69052100, ClockFamily::Pxa25x}, {0x69052D06, ClockFamily::Pxa25x}, // PXA255 A0
        {0x6905210F, ClockFamily::Pxa25x}, {0x69053D00, ClockFamily::Pxa25x}, // bits 3:0, 12:10
        {0x69054110, ClockFamily::Pxa27x}, {0x69054117, ClockFamily::Pxa27x}, // PXA270 C5
        {0x69055D1F, ClockFamily::Pxa27x}, {0x69056110, ClockFamily::None},   // core generation 3
        {0x69052110, ClockFamily::None}, // generation 1 with the PXA27x product number
        {0x69054100, ClockFamily::None}, // generation 2 with the PXA25x product number
        {0x68054110, ClockFamily::None}, // not Intel
        {0x69064110, ClockFamily::None}, // another architecture
        {0x41129200, ClockFamily::None}, // ARM920T
    };
    for (const Row& row : rows) {
        simProcessor.mainId = row.mainId;
        detectProcessor();
        EXPECT_EQ(appState.clockFamily, row.family) << std::hex << row.mainId;
        EXPECT_EQ(appState.cpuId, row.mainId);
    }
    EXPECT_EQ(simHandheld.messageBoxCount, 0);
}

TEST_F(ProcessorDetectionTest, KeepsTheIdentificationWordsAndReturnsCclkcfg) {
    simProcessor.cclkcfg = 0x9;
    EXPECT_EQ(detectProcessor(), 0x9u);
    EXPECT_EQ(appState.cpuId, simProcessor.mainId);
    EXPECT_EQ(appState.cacheType, simProcessor.cacheType);
}

TEST_F(ProcessorDetectionTest, AFaultShowsTheMessageAndKeepsWhatWasReadBeforeIt) {
    struct Row {
        bool SimProcessorFaults::*fault;
        ClockFamily family;
        bool cacheTypeRead;
    };
    const Row rows[] = {
        {&SimProcessorFaults::readMainId, ClockFamily::None, false},
        {&SimProcessorFaults::readCacheType, ClockFamily::Pxa27x, false},
        {&SimProcessorFaults::readCclkcfg, ClockFamily::Pxa27x, true},
        {&SimProcessorFaults::kernelModeRefused, ClockFamily::None, false},
    };
    for (const Row& row : rows) {
        startOver();
        simProcessor.faults.*row.fault = true;
        EXPECT_EQ(detectProcessor(), 0u);
        EXPECT_EQ(appState.clockFamily, row.family);
        EXPECT_EQ(appState.cacheType, row.cacheTypeRead ? simProcessor.cacheType : 0u);
        expectNoAccessMessageOnce();
        EXPECT_FALSE(simProcessor.kernelMode);
    }
}

TEST_F(ProcessorDetectionTest, ClockFlagsFollowTheRegistersWithoutAPreset) {
    struct Row {
        std::uint32_t cccr;
        std::uint32_t cclkcfg;
        bool presetGiven;
        std::uint8_t highClocks;
        std::uint8_t fastBus;
    };
    constexpr Row rows[] = {
        {0x02000208, 0x3, false, 0, 0},
        {0x02000290, 0xB, false, 1, 1},
        {0x02000208, 0x3, true, 1, 1},
        {0x02000290, 0x1, false, 1, 0},
    };
    for (const Row& row : rows) {
        startOver();
        simProcessor.cccr = row.cccr;
        detectProcessor();
        readClockState(row.cclkcfg, row.presetGiven);
        EXPECT_EQ(appState.currentCccr, row.cccr);
        EXPECT_EQ(appState.highClocksAllowed, row.highClocks) << std::hex << row.cccr;
        EXPECT_EQ(appState.fastBus, row.fastBus) << std::hex << row.cclkcfg;
    }
}

TEST_F(ProcessorDetectionTest, AnUnreadableCccrGivesUpClockControlWithOneMessage) {
    for (bool SimProcessorFaults::*fault :
         {&SimProcessorFaults::copyCccrPage, &SimProcessorFaults::loadCccr}) {
        startOver();
        simProcessor.faults.*fault = true;
        readClockState(detectProcessor(), false);
        EXPECT_EQ(appState.clockFamily, ClockFamily::None);
        EXPECT_EQ(appState.currentCccr, 0u);
        expectNoAccessMessageOnce();
    }
}

TEST_F(ProcessorDetectionTest, AnUnrecognisedProcessorNeverReadsTheCccr) {
    useProcessor(SimProcessorKind::Unrecognised);
    readClockState(detectProcessor(), true);
    applyStartupPreset(5);
    EXPECT_EQ(appState.clockFamily, ClockFamily::None);
    EXPECT_EQ(simProcessor.pagesCopied, 0);
    EXPECT_EQ(simProcessor.writeCount, 0);
    EXPECT_EQ(simHandheld.messageBoxCount, 0);
}

TEST_F(ProcessorDetectionTest, AStartupPresetRunsWithTheHighBaseAndFastBus) {
    simProcessor.cccr = 0x02000208;
    simProcessor.cclkcfg = 0x1;
    readClockState(detectProcessor(), true);
    applyStartupPreset(5);
    EXPECT_EQ(writtenCccr(0), 0x02000290u);
    EXPECT_EQ(writtenCclkcfg(0), 11u);
    EXPECT_EQ(simProcessor.runningCccr, 0x02000290u);
    EXPECT_EQ(appState.currentCccr, 0x02000290u);
}

} // namespace
