#include "clock/clock_menu.h"

#include "platform/sim/sim_menus.h"
#include "tests/support/sim_test_fixture.h"

#include <regex>
#include <string>

namespace {

constexpr std::uint32_t TURBO = 0x1;

class ClockMenuTest : public SimTest {
  protected:
    // The whole popup as text, freshly built.
    static std::string builtPopup() {
        const MenuHandle menu = loadMenuResource(ModuleHandle::None, 100);
        buildClockMenu(subMenu(menu, 0));
        const std::string text = simMenuText(subMenu(menu, 0));
        destroyMenu(menu);
        return text;
    }

    // The clock portion of a freshly built popup, as text; on PXA27x the thirty
    // run frequencies that carry no mark are left out to keep the pictures short.
    static std::string clockPortion() {
        const std::string text = builtPopup();
        const std::string clock = text.substr(0, text.find("\"Сведения\""));
        if (appState.clockFamily != ClockFamily::Pxa27x) {
            return clock;
        }
        return std::regex_replace(clock,
                                  std::regex("    \"\\d+ МГц\" 100(2[6-9]|[34]\\d|5[0-5])\n"), "");
    }
};

TEST_F(ClockMenuTest, Pxa27xOnTheLowBaseWithoutFastBus) {
    runningWith(ClockFamily::Pxa27x, 0x02000208, TURBO); // 208 MHz: L 8 x 2
    appState.highClocksAllowed = 0;
    appState.fastBus = 0;
    appState.minLimit = 1;
    appState.maxLimit = 8;
    EXPECT_EQ(clockPortion(), R"("104 МГц" 10001
"208 МГц" 10002 checked
"312 МГц" 10003
"416 МГц" 10004
---
"Разгон" >
  "Частота" >
    "104 МГц" 10032 checked
  "Множитель" >
    "x1.0" 10017
    "x1.5" 10018
    "x2.0" 10019 checked
    "x2.5" 10020
    "x3.0" 10021
    "x3.5" 10022
    "x4.0" 10023
  "Делитель" >
    "1 : 2" 10074 checked
    "1 : 1" 10075
  ---
  "Установки" >
    "Добавить" 10079 greyed
    "Очистить" 10080 greyed
  "Предел" >
    " 52 МГц" 10057 greyed
    "104 МГц" 10058 checked
    "208 МГц" 10059
    ---
    "416 МГц" 10060
    "520 МГц" 10061 greyed
    "624 МГц" 10062 greyed
    "728 МГц" 10063 greyed
    "832 МГц" 10064 greyed checked
)");
}

TEST_F(ClockMenuTest, Pxa25xAt400MhzWithTheLowestMaximum) {
    runningWith(ClockFamily::Pxa25x, 0x00000241, TURBO);
    appState.maxLimit = 4;
    EXPECT_EQ(clockPortion(), R"("100 МГц" 10009
"200 МГц" 10010
"300 МГц" 10011
"400 МГц" 10012 checked
---
"Разгон" >
  "Частота" >
    "100 МГц" 10025 checked
    "118 МГц" 10026
    "133 МГц" 10027
    "150 МГц" 10028
    "166 МГц" 10029
  "Множитель" >
    "x1.0" 10017
    "x1.5" 10018
    "x2.0" 10019 checked
    "x2.5" 10020
    "x3.0" 10021
  "Делитель" >
    "x1" 10076
    "x2" 10077 checked
    "x4" 10078
  ---
  "Установки" >
    "Добавить" 10079 greyed
    "Очистить" 10080 greyed
  "Предел" >
    ---
    "400 МГц" 10065 checked
    "500 МГц" 10066
    "600 МГц" 10067
)");
}

TEST_F(ClockMenuTest, WithoutClockControlOnlyGreyedEntriesRemain) {
    useProcessor(SimProcessorKind::Unrecognised);
    EXPECT_EQ(clockPortion(), R"("Частоты" 10015 greyed
---
"Разгон" >
  "Частота" >
    "Недоступно" 10024 greyed
  "Множитель" >
    "x1.0" 10017 greyed
    "x1.5" 10018 greyed
    "x2.0" 10019 greyed
    "x2.5" 10020 greyed
    "x3.0" 10021 greyed
    "x3.5" 10022 greyed
    "x4.0" 10023 greyed
  "Делитель" >
    "1 : 2" 10074 greyed
    "1 : 1" 10075 greyed
  ---
  "Установки" >
    "Добавить" 10079 greyed
    "Очистить" 10080 greyed
  "Предел" >
    "Недоступно" 10056 greyed
    ---
)");
}

TEST_F(ClockMenuTest, Pxa27xOffersEveryRunFrequencyFrom26To403Mhz) {
    runningWith(ClockFamily::Pxa27x, 0x02000290, TURBO);
    const std::string text = builtPopup();
    for (std::uint32_t l = 2; l <= 31; ++l) {
        const std::string entry =
            "\"" + std::to_string(13 * l) + " МГц\" " + std::to_string(10024 + l);
        EXPECT_NE(text.find(entry), std::string::npos) << entry;
    }
    EXPECT_EQ(text.find(" 10025"), std::string::npos) << "L 1 is not offered";
}

struct MarkedEntries {
    const char* name;
    ClockFamily family;
    std::uint32_t cccr;
    std::uint32_t userCccr;
    std::uint32_t maxLimit;
    std::vector<std::string> lines; // each must appear as it stands
};

const MarkedEntries MARKED[] = {
    {"520 MHz on the high base",
     ClockFamily::Pxa27x,
     0x02000290,
     0,
     8,
     {"\"520 МГц\" 10005 checked\n", "\"x2.5\" 10020 checked\n", "\"208 МГц\" 10040 checked\n",
      "\"Добавить\" 10079 greyed\n", "\"832 МГц\" 10008\n"}},
    {"a configuration outside the list",
     ClockFamily::Pxa27x,
     0x02000214,
     0,
     6,
     {"\"x2.0\" 10019 checked\n", "\"260 МГц\" 10044 checked\n", "\"Добавить\" 10079\n",
      "\"520 МГц\" 10005\n"}},
    {"the stored preset of that configuration",
     ClockFamily::Pxa27x,
     0x02000214,
     0x00000214,
     6,
     {"\"520 МГц\" 10016 checked\n", "\"Добавить\" 10079 greyed\n", "\"Очистить\" 10080\n"}},
    {"a preset equal to a list entry",
     ClockFamily::Pxa25x,
     0x00000341,
     0x00FF0341,
     6,
     {"\"600 МГц\" 10014 checked\n", "\"600 МГц\" 10016 checked\n"}},
};

TEST_F(ClockMenuTest, TheConfigurationInForceIsMarked) {
    for (const MarkedEntries& row : MARKED) {
        startOver();
        runningWith(row.family, row.cccr, TURBO);
        appState.userCccr = row.userCccr;
        appState.maxLimit = row.maxLimit;
        const std::string text = clockPortion();
        for (const std::string& line : row.lines) {
            EXPECT_NE(text.find(line), std::string::npos) << row.name << ": " << line << text;
        }
    }
}

// Each upper limit keeps the list up to its own frequency; the limit entry that
// stands for it carries the mark.
TEST_F(ClockMenuTest, Pxa27xUpperLimitsHideTheFrequenciesAboveThem) {
    const char* const topOfList[] = {"\"520 МГц\" 10005\n", "\"624 МГц\" 10006\n",
                                     "\"728 МГц\" 10007\n", "\"832 МГц\" 10008\n"};
    for (std::uint32_t maxLimit = 4; maxLimit <= 8; ++maxLimit) {
        startOver();
        runningWith(ClockFamily::Pxa27x, 0x02000110, TURBO);
        appState.maxLimit = maxLimit;
        const std::string text = clockPortion();
        for (std::uint32_t entry = 0; entry < 4; ++entry) {
            const bool shown = text.find(topOfList[entry]) != std::string::npos;
            EXPECT_EQ(shown, entry + 5 <= maxLimit)
                << "limit " << maxLimit << ": " << topOfList[entry];
        }
        EXPECT_NE(text.find(" 1006" + std::to_string(maxLimit - 4) + " checked"), std::string::npos)
            << maxLimit;
    }
}

// Another program may switch turbo alone; each build reads it afresh for the
// entry in force and the user preset, and a faulted read keeps the last good
// reading. One build after another.
TEST_F(ClockMenuTest, EachBuildReadsTheTurboBitAfresh) {
    struct Row {
        std::uint32_t cclkcfg;
        bool readFaults;
        const char* checked;
        const char* preset;
    };
    const Row rows[] = {
        {TURBO, false, "\"312 МГц\" 10003 checked\n", "\"520 МГц\" 10016\n"},
        {0x0, false, "\"208 МГц\" 10002 checked\n", "\"208 МГц\" 10016\n"},
        {TURBO, true, "\"208 МГц\" 10002 checked\n", "\"208 МГц\" 10016\n"},
        {TURBO, false, "\"312 МГц\" 10003 checked\n", "\"520 МГц\" 10016\n"},
        {0x0, true, "\"312 МГц\" 10003 checked\n", "\"520 МГц\" 10016\n"},
    };
    runningWith(ClockFamily::Pxa27x, 0x02000190, TURBO);
    appState.userCccr = 0x02000290;
    for (const Row& row : rows) {
        simProcessor.cclkcfg = row.cclkcfg;
        simProcessor.faults.readCclkcfg = row.readFaults;
        const std::string text = clockPortion();
        EXPECT_NE(text.find(row.checked), std::string::npos) << text;
        EXPECT_NE(text.find(row.preset), std::string::npos) << text;
    }
}

TEST_F(ClockMenuTest, StoringTheConfigurationShowsItAsThePresetAtTheNextBuild) {
    runningWith(ClockFamily::Pxa27x, 0x02000214, TURBO);
    handleClockCommand(10079);
    EXPECT_EQ(appState.userCccr, 0x02000214u);
    const std::string text = clockPortion();
    EXPECT_NE(text.find("\"520 МГц\" 10016 checked\n---"), std::string::npos) << text;
    handleClockCommand(10080);
    EXPECT_EQ(appState.userCccr, 0u);
}

struct CommandRow {
    ClockFamily family;
    std::uint32_t id;
    std::uint32_t cccr; // the configuration afterwards
};

TEST_F(ClockMenuTest, ConfigurationCommandsApplyAtOnce) {
    constexpr CommandRow rows[] = {
        {ClockFamily::Pxa27x, 10006, 0x02000310},
        {ClockFamily::Pxa27x, 10017, 0x02000110},
        {ClockFamily::Pxa27x, 10023, 0x02000410},
        {ClockFamily::Pxa27x, 10032, 0x02000208},
        {ClockFamily::Pxa27x, 10055, 0x0200021F},
        {ClockFamily::Pxa25x, 10009, 0x02000121},
        {ClockFamily::Pxa25x, 10076, 0x02000230},
        {ClockFamily::Pxa25x, 10028, 0x02000204},
        // Commands the menu never shows for the family change nothing.
        {ClockFamily::Pxa27x, 10009, 0x02000210},
        {ClockFamily::Pxa27x, 10076, 0x02000210},
        {ClockFamily::Pxa25x, 10006, 0x02000210},
        {ClockFamily::Pxa25x, 10023, 0x02000210},
        {ClockFamily::Pxa25x, 10040, 0x02000210},
        {ClockFamily::None, 10004, 0x02000210},
    };
    for (const CommandRow& row : rows) {
        startOver();
        runningWith(row.family == ClockFamily::Pxa25x ? ClockFamily::Pxa25x : ClockFamily::Pxa27x,
                    0x02000210, TURBO);
        appState.clockFamily = row.family;
        handleClockCommand(row.id);
        EXPECT_EQ(simProcessor.cccr, row.cccr) << row.id;
    }
}

TEST_F(ClockMenuTest, LimitAndFastBusCommands) {
    runningWith(ClockFamily::Pxa27x, 0x02000210, TURBO);
    handleClockCommand(10059);
    handleClockCommand(10063);
    EXPECT_EQ(appState.minLimit, 2u);
    EXPECT_EQ(appState.maxLimit, 7u);
    handleClockCommand(10074);
    EXPECT_EQ(appState.fastBus, 0);
    EXPECT_EQ(simProcessor.cclkcfg, 0x1u); // written as 3, FCS reads back 0
    EXPECT_EQ(appState.currentCccr, 0x02000210u);

    runningWith(ClockFamily::Pxa25x, 0x00000241, TURBO);
    handleClockCommand(10066);
    EXPECT_EQ(appState.maxLimit, 5u);
    handleClockCommand(10064); // a PXA27x limit
    EXPECT_EQ(appState.maxLimit, 5u);
}

} // namespace
