#include "shell/startup.h"

#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_display.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_graphics.h"
#include "platform/sim/sim_metrics.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_single_instance.h"
#include "platform/sim/sim_windows.h"
#include "platform/single_instance.h"
#include "platform/windowing.h"
#include "tests/support/sim_test_fixture.h"

#include <string>
#include <utility>

namespace {

constexpr ModuleHandle MODULE = static_cast<ModuleHandle>(0x400000);
constexpr const char16_t* SETTINGS_KEY = u"SOFTWARE\\Dunmar\\Tavil";
constexpr const char16_t* DISPLAY_KEY = u"Drivers\\Display\\GPE";

void storeNumber(const char16_t* key, const char16_t* name, std::uint32_t value) {
    simSetRegistryValue(key, name, 4, &value, sizeof value);
}

class StartupTest : public SimTest {
  protected:
    // Runs the first copy for `milliseconds` of virtual time.
    static int startFirstCopy(const char16_t* commandLine, std::uint32_t milliseconds = 1500) {
        simAllowTime(milliseconds);
        return runTavil(MODULE, commandLine);
    }

    static WindowHandle mainWindow() { return findWindow(u"Tavil", u"Tavil"); }

    // Ends the first copy as the exit command does.
    void TearDown() override {
        if (mainWindow() != WindowHandle::None) {
            postMessage(mainWindow(), WM_CLOSE_MESSAGE, 0, 0);
            simAllowTime(0);
            runMessageLoop();
        }
        SimTest::TearDown();
    }
};

TEST_F(StartupTest, TheFirstCopyRunsUntilToldToQuit) {
    EXPECT_EQ(startFirstCopy(u"", 2500), 0);
    EXPECT_TRUE(simClock.ranOutOfTime);
    EXPECT_NE(mainWindow(), WindowHandle::None);
    EXPECT_EQ(simMutexNamed(u"Tavil")->creations, 1);
    EXPECT_TRUE(simNotificationArea.iconPresent);
    EXPECT_EQ(appState.clockFamily, ClockFamily::Pxa27x);
    EXPECT_EQ(appState.instance, MODULE);
    EXPECT_EQ(simProcessor.pagesCopied, 3); // the start-up read and two ticks
    const SimWindow* window = simWindow(mainWindow());
    EXPECT_EQ(window->style, 0u); // never shown
    EXPECT_EQ(simWindowing.classes[0].record.style, 3u);
    EXPECT_EQ(simWindowing.classes[0].record.background, 0x40000011u);
}

TEST_F(StartupTest, ASecondCopyHandsItsRequestToTheFirstAndEnds) {
    struct Row {
        const char16_t* commandLine;
        std::uint32_t message;
        std::intptr_t lParam;
    };
    const Row rows[] = {
        {u"#9", 1027, 9}, {u"#0", 1027, 0}, {u"", 1025, 0}, {u"\"#2\" #7", 1027, 7}};
    for (const Row& row : rows) {
        startOver();
        startFirstCopy(u"");
        const WindowHandle first = mainWindow();
        EXPECT_EQ(runTavil(MODULE, row.commandLine), 0);
        ASSERT_EQ(simWindowing.queued, 1);
        const WindowMessage& posted = simWindowing.queue[simWindowing.first];
        EXPECT_EQ(posted.window, first);
        EXPECT_EQ(posted.message, row.message);
        EXPECT_EQ(posted.wParam, 0u);
        EXPECT_EQ(posted.lParam, row.lParam);
        EXPECT_EQ(simMutexNamed(u"Tavil")->creations, 2);
    }
}

TEST_F(StartupTest, AHandedOverPresetIsAppliedByTheFirstCopy) {
    startFirstCopy(u"");
    runTavil(MODULE, u"#5");
    simAllowTime(100);
    runMessageLoop();
    EXPECT_EQ(appState.currentCccr, 0x02000290u);
}

TEST_F(StartupTest, ASecondCopyWithoutAWindowToFindEndsQuietly) {
    createNamedMutex(u"Tavil"); // a copy that has not made its window yet
    EXPECT_EQ(runTavil(MODULE, u"#3"), 0);
    EXPECT_EQ(simWindowing.queued, 0);
    EXPECT_FALSE(simWindowing.classes[0].registered);
    EXPECT_EQ(simProcessor.pagesCopied, 0); // nothing probed
}

TEST_F(StartupTest, AMutexThatCannotBeMadeStillStartsTheProgram) {
    simMutexes.creationFails = true;
    startFirstCopy(u"");
    EXPECT_NE(mainWindow(), WindowHandle::None);
}

// Without its window nothing could tap, ask or close the program: it ends
// instead of waiting for messages that cannot come.
TEST_F(StartupTest, AMainWindowThatCannotBeMadeEndsTheProgram) {
    simWindowing.faults.windowCreationFails = true;
    EXPECT_EQ(startFirstCopy(u"", 2500), 0);
    EXPECT_EQ(simClock.now, 0u); // it did not wait
    EXPECT_FALSE(simNotificationArea.iconPresent);
}

TEST_F(StartupTest, AStartupPresetUsesTheHighBaseAndFastBus) {
    struct Row {
        const char16_t* commandLine;
        std::uint32_t cccr;
        std::int32_t mhz;
    };
    for (const Row& row : {Row{u"#5", 0x02000290, 520}, Row{u"#0", 0x02000104, 52}}) {
        startOver();
        simProcessor.cccr = 0x02000208; // a 104 MHz base without fast-bus mode
        simProcessor.cclkcfg = 0x1;
        startFirstCopy(row.commandLine);
        EXPECT_EQ(appState.currentCccr, row.cccr);
        EXPECT_EQ(writtenCclkcfg(0), 11u);
        EXPECT_EQ(appState.highClocksAllowed, 1);
        EXPECT_EQ(appState.fastBus, 1);
        EXPECT_EQ(appState.lastIconReading, row.mhz); // the icon shows the preset
    }
}

// The frequency icon of the first drawing follows the turbo bit found at start-up.
TEST_F(StartupTest, TheFirstFrequencyIconFollowsTheTurboBitFoundAtStartup) {
    for (const auto& [cclkcfg, mhz] : {std::pair{0x1u, 312}, {0x0u, 208}}) {
        startOver();
        simProcessor.cccr = 0x02000190;
        simProcessor.cclkcfg = cclkcfg;
        startFirstCopy(u"");
        EXPECT_EQ(appState.lastIconReading, mhz) << cclkcfg;
    }
}

// A PXA270 at 520 MHz, no settings stored. A fault ends the identification
// before CCLKCFG is read, so the start-up reading of it is unset. The icon reads
// the turbo bit itself; when that read faults too, nothing read counts as turbo
// on, as every change word sets it.
TEST_F(StartupTest, AFaultAtIdentificationLeavesTheFrequencyIconRight) {
    struct Row {
        const char* fault;
        bool SimProcessorFaults::*step;
    };
    const Row rows[] = {
        {"reading the cache type", &SimProcessorFaults::readCacheType},
        {"reading CCLKCFG", &SimProcessorFaults::readCclkcfg},
    };
    for (const Row& row : rows) {
        startOver();
        simProcessor.cccr = 0x02000290;
        simProcessor.runningCccr = 0x02000290;
        simProcessor.cclkcfg = 9;
        simProcessor.faults.*row.step = true;
        startFirstCopy(u"", 0);
        EXPECT_EQ(simHandheld.messageBoxCount, 1) << row.fault; // the fault was met
        EXPECT_EQ(appState.lastIconReading, 520) << row.fault << ", at start-up";
        simAllowTime(3000);
        runMessageLoop();
        EXPECT_EQ(simProcessor.pagesCopied, 4) << row.fault; // the start-up read, three ticks
        EXPECT_EQ(appState.lastIconReading, 520) << row.fault << ", three ticks later";
        EXPECT_EQ(appState.iconRefreshFailed, 0) << row.fault;
    }
}

// The powered-on PXA270 at 416 MHz. Ticks do not redraw the frequency; a
// palette command between them draws it with the turbo bit as it stands.
TEST_F(StartupTest, APaletteCommandBetweenTicksDrawsTheTurboBitAsItStands) {
    startFirstCopy(u"", 1500);
    ASSERT_EQ(simProcessor.pagesCopied, 2); // the start-up read and one tick
    ASSERT_EQ(appState.lastIconReading, 416);
    simProcessor.cclkcfg = 0; // another program clears it: 208 MHz, the run frequency
    postMessage(mainWindow(), WM_COMMAND_MESSAGE, 10097, 0);
    simAllowTime(0);
    runMessageLoop();
    EXPECT_EQ(simProcessor.pagesCopied, 2) << "no tick came between";
    EXPECT_EQ(appState.lastIconReading, 208);
}

// The menu greys the frequency mode without clock control, but a command from
// outside can still choose it: it shows 0 and reads no clock register.
TEST_F(StartupTest, WithoutClockControlTheFrequencyIconReadsNoRegister) {
    useProcessor(SimProcessorKind::Unrecognised);
    startFirstCopy(u"", 0);
    simProcessor.faults.accessesBeforeFault = 1;
    postMessage(mainWindow(), WM_COMMAND_MESSAGE, 10089, 0);
    simAllowTime(0);
    runMessageLoop();
    EXPECT_EQ(appState.iconView, 1u);
    EXPECT_EQ(appState.iconReadingDrawn, 1);
    EXPECT_EQ(appState.lastIconReading, 0);
    EXPECT_EQ(simProcessor.faultsRaised, 0);
}

TEST_F(StartupTest, WithoutTheSettingsKeyTheDefaultsStay) {
    startFirstCopy(u"");
    EXPECT_EQ(appState.minLimit, 1u);
    EXPECT_EQ(appState.maxLimit, 6u);
    EXPECT_EQ(appState.iconView, 1u);
    EXPECT_EQ(appState.userCccr, 0u);
    EXPECT_EQ(appState.iconColors, 0x000C000Bu);
}

TEST_F(StartupTest, AnUnsupportedProcessorRunsWithThePlainIcon) {
    useProcessor(SimProcessorKind::Unrecognised);
    storeNumber(SETTINGS_KEY, u"View", 2);
    startFirstCopy(u"#4");
    EXPECT_EQ(appState.clockFamily, ClockFamily::None);
    EXPECT_EQ(appState.iconView, 0u);
    EXPECT_EQ(simProcessor.pagesCopied, 0);
    EXPECT_EQ(simProcessor.writeCount, 0);
    std::uint32_t stored = 0;
    EXPECT_TRUE(simGetRegistryNumber(SETTINGS_KEY, u"View", stored));
    EXPECT_EQ(stored, 2u); // overridden for this run only
    EXPECT_EQ(simHandheld.messageBoxCount, 0);
}

TEST_F(StartupTest, ScreenProbesByWidthLogicalPixelsAndPureVgaResources) {
    struct Row {
        int width;
        bool hasLogicalPixels;
        std::uint32_t logicalPixels;
        bool pureVgaFile;
        std::uint8_t vga;
        std::uint8_t mode;
        std::uint8_t pureVga;
    };
    constexpr Row rows[] = {
        {240, true, 96, true, 0, 0, 0},  {320, true, 96, true, 0, 0, 0},
        {480, true, 96, false, 1, 2, 0}, {480, true, 131, true, 1, 0, 1},
        {480, true, 192, true, 1, 1, 1}, {480, false, 0, false, 1, 1, 0},
    };
    for (const Row& row : rows) {
        startOver();
        simScreenMetrics.width = row.width;
        if (row.hasLogicalPixels) {
            storeNumber(DISPLAY_KEY, u"LogicalPixelsX", row.logicalPixels);
        }
        if (row.pureVgaFile) {
            simAddFile(u"\\Windows\\shellres.96.dll");
        }
        startFirstCopy(u"");
        EXPECT_EQ(appState.vgaScreen, row.vga) << row.width << " " << row.logicalPixels;
        EXPECT_EQ(appState.screenMode, row.mode) << row.width << " " << row.logicalPixels;
        EXPECT_EQ(appState.pureVgaAvailable, row.pureVga) << row.width << " " << row.logicalPixels;
    }
}

TEST_F(StartupTest, LargeSmallIconsAndRotationAreProbed) {
    simScreenMetrics.smallIconWidth = 32;
    startFirstCopy(u"");
    EXPECT_EQ(appState.iconScale, 2);
    EXPECT_EQ(appState.rotationSupported, 1);
    EXPECT_EQ(simNotificationArea.shown.size, 32);
}

TEST_F(StartupTest, AnIdleCounterNotKeptOnlyTurnsTheLoadOff) {
    for (const bool kept : {false, true}) {
        startOver();
        simClock.idleCounterKept = kept;
        simClock.idleCounter = 0; // kept, but reading 0: not kept either
        startFirstCopy(u"");
        EXPECT_EQ(appState.loadAvailable, 0) << kept;
        EXPECT_NE(mainWindow(), WindowHandle::None);
    }
}

TEST_F(StartupTest, TheAutostartShortcutIsLookedForInTheStartupFolder) {
    simAddFile(u"\\Windows\\StartUp\\Tavil.lnk");
    startFirstCopy(u"");
    EXPECT_EQ(std::u16string(appState.pathBuffer), u"\\Windows\\StartUp\\Tavil.lnk");
    EXPECT_EQ(appState.autostartEnabled, 1);
}

// A Startup folder whose path leaves no room for the shortcut's name must not
// overflow the path buffer: autostart is then simply not found.
TEST_F(StartupTest, AStartupFolderTooLongForTheShortcutNameIsNoAutostart) {
    const std::u16string longFolder = u"\\" + std::u16string(250, u'd');
    simSetFolderPath(7, longFolder.c_str());
    startFirstCopy(u"");
    EXPECT_EQ(appState.pathBuffer[0], u'\0');
    EXPECT_EQ(appState.autostartEnabled, 0);
}

} // namespace
