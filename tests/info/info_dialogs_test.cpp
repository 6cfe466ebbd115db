#include "info/info_dialogs.h"
#include "shell/main_window.h"

#include "info/dialog_contents.h"

#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_dialogs.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_metrics.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_storage.h"
#include "platform/sim/sim_system_info.h"
#include "platform/sim/sim_windows.h"
#include "tests/support/sim_test_fixture.h"

#include <cstdint>
#include <string>

namespace {

std::u16string fieldText(WindowHandle dialog, int id) {
    char16_t text[128];
    windowText(dialogItem(dialog, id), text, 128);
    return text;
}

void pressOk(WindowHandle dialog, std::uintptr_t id = DIALOG_OK) {
    postMessage(dialog, WM_COMMAND_MESSAGE, id, 0);
    simAllowTime(0);
    WindowMessage message{};
    while (getMessage(message)) {
        dispatchMessage(message);
    }
}

class InfoDialogsTest : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        runningWith(ClockFamily::Pxa27x, 0x02000210, 0x9);
    }
};

TEST_F(InfoDialogsTest, OneDialogPerKindBroughtToTheFrontWhenOpenedAgain) {
    openInfoDialog(InfoDialogKind::Processor);
    const WindowHandle first = appState.processorDialog;
    openInfoDialog(InfoDialogKind::Processor);
    EXPECT_EQ(simOpenDialogs(), 1);
    EXPECT_EQ(simWindowing.lastBroughtToFront, first);
    EXPECT_EQ(std::u16string(simWindow(first)->title), u"Процессор");

    pressOk(first, 2); // cancel does not close
    EXPECT_EQ(appState.processorDialogOpen, 1);
    pressOk(first);
    EXPECT_EQ(appState.processorDialogOpen, 0);
    EXPECT_EQ(simOpenDialogs(), 0);
    openInfoDialog(InfoDialogKind::Processor);
    EXPECT_EQ(simDialogs.created, 2);
    pressOk(appState.processorDialog);
}

TEST_F(InfoDialogsTest, KindsOpenSideBySideAndCloseOnTheirOwn) {
    struct Row {
        InfoDialogKind kind;
        const char16_t* caption;
        WindowHandle AppState::*window;
        std::uint8_t AppState::*open;
    };
    const Row rows[] = {
        {InfoDialogKind::Processor, u"Процессор", &AppState::processorDialog,
         &AppState::processorDialogOpen},
        {InfoDialogKind::Power, u"Питание", &AppState::powerDialog, &AppState::powerDialogOpen},
        {InfoDialogKind::Memory, u"Память", &AppState::memoryDialog, &AppState::memoryDialogOpen},
        {InfoDialogKind::System, u"Система", &AppState::systemDialog, &AppState::systemDialogOpen},
        {InfoDialogKind::About, u"О программе", &AppState::aboutDialog, &AppState::aboutDialogOpen},
    };
    for (const Row& row : rows) {
        openInfoDialog(row.kind);
        EXPECT_EQ(std::u16string(simWindow(appState.*row.window)->title), row.caption);
    }
    EXPECT_EQ(simOpenDialogs(), 5);
    pressOk(appState.powerDialog);
    for (const Row& row : rows) {
        EXPECT_EQ(appState.*row.open, row.kind == InfoDialogKind::Power ? 0 : 1);
    }
    for (const Row& row : rows) {
        if (appState.*row.open != 0) {
            pressOk(appState.*row.window);
        }
    }
}

TEST_F(InfoDialogsTest, AboutSoundsOnceAndAnUnmadeDialogCanBeOpenedAgain) {
    openInfoDialog(InfoDialogKind::About);
    openInfoDialog(InfoDialogKind::About);
    EXPECT_EQ(simHandheld.informationSounds, 1);
    EXPECT_EQ(simOpenDialogs(), 1);
    pressOk(appState.aboutDialog);

    simDialogs.creationFails = true;
    openInfoDialog(InfoDialogKind::System);
    EXPECT_EQ(appState.systemDialogOpen, 0);
    simDialogs.creationFails = false;
    openInfoDialog(InfoDialogKind::System);
    EXPECT_EQ(simOpenDialogs(), 1);
    pressOk(appState.systemDialog);
}

struct Identity {
    std::uint32_t cpuId;
    std::u16string maker, architecture, series, revision;
};

TEST_F(InfoDialogsTest, TheProcessorIdentityIsDecoded) {
    const Identity rows[] = {
        {0x69052D06, u"Intel", u"ARMv5TE", u"PXA25x", u"6"},
        {0x69054117, u"Intel", u"ARMv5TE", u"PXA27x", u"7"},
        {0x41069265, u"ARM", u"ARMv5TEJ", u"926", u"5"},
        {0x4107B36F, u"ARM", u"ARMv6", u"1136", u"F"},
        {0x6901B119, u"Intel", u"ARMv4", u"SA1110", u"9"},
        {0x12080000, u"", u"ARM", u"000", u"0"},
    };
    for (const Identity& row : rows) {
        appState.cpuId = row.cpuId;
        openInfoDialog(InfoDialogKind::Processor);
        const WindowHandle dialog = appState.processorDialog;
        EXPECT_EQ(fieldText(dialog, 1001), row.maker) << std::hex << row.cpuId;
        EXPECT_EQ(fieldText(dialog, 1002), row.architecture) << std::hex << row.cpuId;
        EXPECT_EQ(fieldText(dialog, 1003), row.series) << std::hex << row.cpuId;
        EXPECT_EQ(fieldText(dialog, 1004), row.revision) << std::hex << row.cpuId;
        EXPECT_EQ(fieldText(dialog, 1005), u"") << "live fields wait for the tick";
        pressOk(dialog);
    }
}

// The texts that codes name; every other code shows `otherwise`.
struct CodeText {
    std::uint32_t code;
    const char16_t* text;
};

template <std::size_t Count>
std::u16string expectedText(const CodeText (&named)[Count], std::uint32_t code,
                            const char16_t* otherwise = u"") {
    for (const CodeText& row : named) {
        if (row.code == code) {
            return row.text;
        }
    }
    return otherwise;
}

TEST_F(InfoDialogsTest, EveryMakerAndArchitectureCodeShowsItsName) {
    const CodeText makers[] = {{0x41, u"ARM"}, {0x44, u"DEC"}, {0x54, u"TI"}, {0x69, u"Intel"}};
    const CodeText architectures[] = {{0, u"ARMv3"},    {1, u"ARMv4"},  {2, u"ARMv4T"},
                                      {3, u"ARMv5"},    {4, u"ARMv5T"}, {5, u"ARMv5TE"},
                                      {6, u"ARMv5TEJ"}, {7, u"ARMv6"}};
    openInfoDialog(InfoDialogKind::Processor);
    const WindowHandle dialog = appState.processorDialog;
    for (std::uint32_t maker = 0; maker <= 0xFF; ++maker) {
        appState.cpuId = maker << 24 | 0x00052D06;
        fillProcessorIdentity();
        EXPECT_EQ(fieldText(dialog, 1001), expectedText(makers, maker)) << std::hex << maker;
    }
    for (std::uint32_t architecture = 0; architecture <= 0xF; ++architecture) {
        appState.cpuId = 0x69002D06 | architecture << 16;
        fillProcessorIdentity();
        EXPECT_EQ(fieldText(dialog, 1002), expectedText(architectures, architecture, u"ARM"))
            << architecture;
    }
    pressOk(dialog);
}

TEST_F(InfoDialogsTest, CacheDescriptorsGiveSizeLineAndWays) {
    // Instruction: size code 6, ways code 5, line code 2; data: size code 0.
    appState.cacheType = (0u << 6 | 1u << 3 | 1u) << 12 | (6u << 6 | 5u << 3 | 2u);
    openInfoDialog(InfoDialogKind::Processor);
    const WindowHandle dialog = appState.processorDialog;
    EXPECT_EQ(fieldText(dialog, 1008), u"32 Кб");
    EXPECT_EQ(fieldText(dialog, 1009), u"32 байт");
    EXPECT_EQ(fieldText(dialog, 1010), u"32");
    EXPECT_EQ(fieldText(dialog, 1011), u"0 Кб");
    EXPECT_EQ(fieldText(dialog, 1012), u"16 байт");
    EXPECT_EQ(fieldText(dialog, 1013), u"2");
    pressOk(dialog);
}

TEST_F(InfoDialogsTest, LiveProcessorFieldsFollowLoadAndClocks) {
    struct Row {
        ClockFamily family;
        std::uint32_t cccr;
        std::uint8_t fastBus;
        std::uint8_t loadAvailable;
        std::u16string load, core, memory;
    };
    const Row rows[] = {
        {ClockFamily::Pxa27x, 0x02000210, 1, 1, u"37 %", u"416 МГц", u"208 МГц"},
        {ClockFamily::Pxa27x, 0x02000210, 0, 1, u"37 %", u"416 МГц", u"104 МГц"},
        {ClockFamily::Pxa27x, 0x02000101, 1, 0, u"", u"26 МГц", u"26 МГц"},
        {ClockFamily::Pxa27x, 0x02000101, 0, 1, u"37 %", u"26 МГц", u"13 МГц"},
        {ClockFamily::Pxa27x, 0x02000103, 0, 1, u"37 %", u"39 МГц", u"19 МГц"},
        {ClockFamily::Pxa25x, 0x00000240, 1, 1, u"37 %", u"400 МГц", u"100 МГц"},
        {ClockFamily::Pxa25x, 0x00000247, 1, 1, u"37 %", u"400 МГц", u"100 МГц"},
        {ClockFamily::None, 0x02000210, 1, 1, u"37 %", u"", u""},
    };
    for (const Row& row : rows) {
        runningWith(row.family == ClockFamily::Pxa25x ? ClockFamily::Pxa25x : ClockFamily::Pxa27x,
                    row.cccr, 0x9);
        appState.clockFamily = row.family;
        appState.fastBus = row.fastBus;
        appState.loadAvailable = row.loadAvailable;
        appState.cpuLoad = 37;
        openInfoDialog(InfoDialogKind::Processor);
        refreshProcessorDialog();
        const WindowHandle dialog = appState.processorDialog;
        EXPECT_EQ(fieldText(dialog, 1005), row.load) << std::hex << row.cccr;
        EXPECT_EQ(fieldText(dialog, 1006), row.core) << std::hex << row.cccr;
        EXPECT_EQ(fieldText(dialog, 1007), row.memory) << std::hex << row.cccr;
        pressOk(dialog);
    }
}

// Another program may switch turbo alone; the core clock of each tick follows
// it, and a faulted read keeps the last good reading. One tick after another.
TEST_F(InfoDialogsTest, TheCoreClockFollowsTheTurboBitAtEveryTick) {
    struct Row {
        std::uint32_t cclkcfg;
        bool readFaults;
        std::u16string core;
    };
    const Row rows[] = {
        {0x8, false, u"208 МГц"}, {0x9, false, u"312 МГц"}, {0x8, true, u"312 МГц"},
        {0x8, false, u"208 МГц"}, {0x9, true, u"208 МГц"},
    };
    runningWith(ClockFamily::Pxa27x, 0x02000190, 0x9);
    openInfoDialog(InfoDialogKind::Processor);
    for (const Row& row : rows) {
        simProcessor.cclkcfg = row.cclkcfg;
        simProcessor.faults.readCclkcfg = row.readFaults;
        onRefreshTick();
        EXPECT_EQ(fieldText(appState.processorDialog, 1006), row.core)
            << row.cclkcfg << (row.readFaults ? " faulted" : "");
    }
    pressOk(appState.processorDialog);
}

struct PowerRow {
    const char* name;
    void (*set)(PowerStatus&);
    std::vector<std::pair<int, std::u16string>> fields;
};

TEST_F(InfoDialogsTest, ThePowerTextsFollowTheStatus) {
    const PowerRow rows[] = {
        {"discharging",
         [](PowerStatus&) {},
         {{1001, u"Источник - батарея"},
          {1002, u"в норме"},
          {1003, u"87 %"},
          {1004, u"3.95 В"},
          {1005, u"-210 мА"},
          {1006, u"31.2° C"},
          {1007, u"Li-Ion"},
          {1008, u"в норме"},
          {1009, u"100 %"},
          {1010, u"3.10 В"}}},
        {"charging on mains",
         [](PowerStatus& power) {
             power.acLineStatus = 1;
             power.batteryFlag = 8;
             power.batteryVoltage = 4012;
             power.batteryTemperature = 253;
         },
         {{1001, u"Источник - от сети"},
          {1002, u"зарядка"},
          {1004, u"4.01 В"},
          {1006, u"25.3° C"}}},
        {"combined flags and no charge figure",
         [](PowerStatus& power) {
             power.acLineStatus = 255;
             power.batteryFlag = 9;
             power.batteryLifePercent = 255;
             power.batteryChemistry = 9;
             power.backupBatteryLifePercent = 255;
         },
         {{1001, u""},
          {1002, u""},
          {1003, u""},
          {1005, u"-210 мА"},
          {1007, u""},
          {1009, u""},
          {1010, u"3.10 В"}}},
        {"frost",
         [](PowerStatus& power) { power.batteryTemperature = static_cast<std::uint32_t>(-55); },
         {{1006, u"-5.5° C"}}},
        {"backup power, no batteries",
         [](PowerStatus& power) {
             power.acLineStatus = 2;
             power.batteryFlag = 128;
             power.backupBatteryFlag = 128;
         },
         {{1001, u"Резервное питание!"},
          {1002, u"нет"},
          {1003, u""},
          {1004, u""},
          {1005, u""},
          {1006, u""},
          {1007, u""},
          {1008, u"нет"},
          {1009, u""},
          {1010, u""}}},
    };
    openInfoDialog(InfoDialogKind::Power);
    const WindowHandle dialog = appState.powerDialog;
    EXPECT_EQ(fieldText(dialog, 1001), u"") << "nothing is written before the first tick";
    for (const PowerRow& row : rows) {
        refreshPowerDialog(); // the fields hold text from before
        simHandheld.power = PowerStatus{0, 1, 87, 1, 100, 3950, -210, 312, 3100, 4};
        row.set(simHandheld.power);
        refreshPowerDialog();
        for (const auto& [id, text] : row.fields) {
            EXPECT_EQ(fieldText(dialog, id), text) << row.name << " field " << id;
        }
    }
}

// Battery states compare as whole values, so a combination of flags names
// nothing; the backup battery's state reads like the main one's.
TEST_F(InfoDialogsTest, EveryBatteryStateAndChemistryCodeShowsItsText) {
    const CodeText states[] = {
        {1, u"в норме"}, {2, u"слабо"}, {4, u"разряд"}, {8, u"зарядка"}, {128, u"нет"}};
    const CodeText chemistries[] = {{1, u"щелочь"}, {2, u"Ni-Cd"},  {3, u"NiMH"},
                                    {4, u"Li-Ion"}, {5, u"Li-Pol"}, {6, u"цинк"}};
    openInfoDialog(InfoDialogKind::Power);
    const WindowHandle dialog = appState.powerDialog;
    for (std::uint32_t code = 0; code <= 0xFF; ++code) {
        simHandheld.power.batteryFlag = static_cast<std::uint8_t>(code);
        simHandheld.power.backupBatteryFlag = static_cast<std::uint8_t>(code);
        refreshPowerDialog();
        EXPECT_EQ(fieldText(dialog, 1002), expectedText(states, code)) << code;
        EXPECT_EQ(fieldText(dialog, 1008), expectedText(states, code)) << code;
        // Only "no battery" itself hides a battery's figures.
        EXPECT_EQ(fieldText(dialog, 1003), code == 128 ? u"" : u"87 %") << code;
        EXPECT_EQ(fieldText(dialog, 1009), code == 128 ? u"" : u"100 %") << code;
    }
    simHandheld.power.batteryFlag = 1;
    for (std::uint32_t code = 0; code <= 0xFF; ++code) {
        simHandheld.power.batteryChemistry = static_cast<std::uint8_t>(code);
        refreshPowerDialog();
        EXPECT_EQ(fieldText(dialog, 1007), expectedText(chemistries, code)) << code;
    }
    pressOk(dialog);
}

TEST_F(InfoDialogsTest, AFailedPowerQueryShowsAnAllZeroRecord) {
    simHandheld.powerQueryFails = true;
    openInfoDialog(InfoDialogKind::Power);
    refreshPowerDialog();
    const WindowHandle dialog = appState.powerDialog;
    EXPECT_EQ(fieldText(dialog, 1001), u"Источник - батарея");
    EXPECT_EQ(fieldText(dialog, 1003), u"0 %");
    EXPECT_EQ(fieldText(dialog, 1004), u"0.00 В");
    EXPECT_EQ(fieldText(dialog, 1006), u"0.0° C");
    EXPECT_EQ(fieldText(dialog, 1010), u"0.00 В");
    pressOk(dialog);
}

void storeNumber(const char16_t* key, const char16_t* name, std::uint32_t value) {
    simSetRegistryValue(key, name, 4, &value, sizeof value);
}

TEST_F(InfoDialogsTest, TheMemoryDialogCountsWhatTheHandheldHolds) {
    simHandheld.memory = MemoryStatus{41, 66912256, 23u << 20};
    simClearProcesses();
    simAddProcess(1, 5, u"a.exe");
    simAddProcess(2, 7, u"b.exe");
    for (const char16_t* driver :
         {u"Drivers\\Active\\01", u"Drivers\\Active\\02", u"Drivers\\Active\\03"}) {
        storeNumber(driver, u"Hnd", 1);
    }
    storeNumber(u"SOFTWARE\\Apps\\Maker Game", u"Instl", 1);
    storeNumber(u"SOFTWARE\\Apps\\Maker Old", u"Instl", 0);
    storeNumber(u"SOFTWARE\\Apps\\Maker Broken", u"Other", 1);
    const std::u16string longName = u"SOFTWARE\\Apps\\" + std::u16string(70, u'n');
    storeNumber(longName.c_str(), u"Instl", 1);
    storeNumber(u"SOFTWARE\\Apps\\Zeta After Long", u"Instl", 1);
    simAddFile(u"\\Windows\\StartUp\\Tavil.lnk");
    simAddFile(u"\\Windows\\StartUp\\Mail.lnk");
    simAddFile(u"\\Windows\\tahoma.ttf");
    simAddFile(u"\\Windows\\readme.txt");
    simSetFolderPath(20, u"\\Windows\\Fonts");
    simAddFile(u"\\Windows\\Fonts\\tahoma.ttf");
    simInsertStorageCard(u"Storage Card");
    simInsertStorageCard(u"Storage Card2");

    openInfoDialog(InfoDialogKind::Memory);
    const WindowHandle dialog = appState.memoryDialog;
    const std::pair<int, std::u16string> expected[] = {
        {1001, u"63 Мб"},
        {1002, u"23 Мб"},
        {1003, u"41 %"},
        {1004, u"2"},
        {1005, u"12"},
        {1006, u"3"},
        {1007, u"32 Мб"},
        {1008, u"21 Мб"},
        {1009, u"3"}, // Game, the long name
                      // and the one after it
        {1010, u"2"},
        {1011, u"2"},
        {1012, u"2"},
    };
    for (const auto& [id, text] : expected) {
        EXPECT_EQ(fieldText(dialog, id), text) << "field " << id;
    }
    pressOk(dialog);
}

TEST_F(InfoDialogsTest, AnEmptyHandheldCountsZero) {
    simProcesses.snapshotFails = true;
    simStorage.storeQueryFails = true;
    openInfoDialog(InfoDialogKind::Memory);
    const WindowHandle dialog = appState.memoryDialog;
    for (const int id : {1004, 1005, 1006, 1009, 1010, 1011, 1012}) {
        EXPECT_EQ(fieldText(dialog, id), u"0") << "field " << id;
    }
    EXPECT_EQ(fieldText(dialog, 1007), u"0 Мб");
    pressOk(dialog);
}

TEST_F(InfoDialogsTest, TheSystemDialogShowsTheFactsAndTheTimeZone) {
    simScreenMetrics = SimScreenMetrics{480, 640, 32, 64};
    simSystemInfo.version = OsVersion{4, 21, 1088};
    simSystemInfo.defaultLanguageId = 0x10419;
    openInfoDialog(InfoDialogKind::System);
    const WindowHandle dialog = appState.systemDialog;
    const std::pair<int, std::u16string> expected[] = {
        {1001, u"4.21"},   {1002, u"1088"},    {1003, u"480x640"}, {1004, u"64x64"},
        {1006, u"PXA270"}, {1008, u"416 МГц"}, {1009, u"866"},     {1010, u"1251"},
        {1011, u"1049"},   {1012, u"1049"},    {1013, u"+3"},
    };
    for (const auto& [id, text] : expected) {
        EXPECT_EQ(fieldText(dialog, id), text) << "field " << id;
    }
    pressOk(dialog);

    simSystemInfo.processorQueryFails = true;
    openInfoDialog(InfoDialogKind::System);
    EXPECT_EQ(fieldText(appState.systemDialog, 1006), u"");
    EXPECT_EQ(fieldText(appState.systemDialog, 1008), u"");
    pressOk(appState.systemDialog);
}

TEST_F(InfoDialogsTest, TimeZonesShowWholeHoursAndMinutes) {
    const std::pair<std::int32_t, std::u16string> rows[] = {
        {-180, u"+3"},
        {300, u"-5"},
        {0, u"0"},
        {-330, u"+5.30"},
        {210, u"-3.30"},
        {-345, u"+5.45"},
        {INT32_MIN, u"+35791394.8"}, // 2^31 minutes: 35791394 hours and 8 minutes
        {INT32_MAX, u"-35791394.7"},
    };
    for (const auto& [bias, text] : rows) {
        simSystemInfo.timeZoneBias = bias;
        openInfoDialog(InfoDialogKind::System);
        EXPECT_EQ(fieldText(appState.systemDialog, 1013), text) << bias;
        pressOk(appState.systemDialog);
    }
}

} // namespace
