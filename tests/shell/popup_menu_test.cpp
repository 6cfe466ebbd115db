#include "shell/popup_menu.h"

#include "platform/sim/sim_display.h"
#include "platform/sim/sim_menus.h"
#include "platform/sim/sim_metrics.h"
#include "platform/sim/sim_processes.h"
#include "tests/support/sim_test_fixture.h"

#include <climits>
#include <string>

namespace {

constexpr WindowHandle MAIN_WINDOW = static_cast<WindowHandle>(0x10000);

class PopupMenuTest : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        runningWith(ClockFamily::Pxa27x, 0x02000210, 0x9);
    }

    // The menu as the user saw it the last time it opened.
    static std::string shownMenu() {
        showPopupMenu(MAIN_WINDOW);
        return simMenuTracking.shown;
    }

    static bool shows(const std::string& menu, const std::string& line) {
        return menu.find(line + "\n") != std::string::npos;
    }
};

TEST_F(PopupMenuTest, OpensAtTheBottomRightCornerAndIsDestroyedAfterwards) {
    struct Row {
        int width;
        int height;
        std::uint8_t iconScale;
        int y;
    };
    // A screen reported lower than the taskbar puts the menu's bottom at the top.
    for (const Row& row : {Row{240, 320, 1, 296}, Row{480, 640, 2, 592}, Row{480, 40, 2, 0},
                           Row{240, INT_MIN, 1, 0}, Row{240, INT_MAX, 2, INT_MAX - 48}}) {
        simScreenMetrics.width = row.width;
        simScreenMetrics.height = row.height;
        appState.iconScale = row.iconScale;
        shownMenu();
        EXPECT_EQ(simMenuTracking.x, row.width);
        EXPECT_EQ(simMenuTracking.y, row.y);
        EXPECT_EQ(simMenuTracking.owner, MAIN_WINDOW);
        EXPECT_EQ(simLiveMenus(), 0);
    }
}

TEST_F(PopupMenuTest, PaletteEntriesFollowTheColoursAndTheMode) {
    struct Row {
        std::uint32_t view;
        std::uint32_t colors;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {1, 0x000C000B, {"\"желтый\" 10097 checked", "\"синий\" 10106 checked"}},
        {1, 0x00000000, {"\"черный\" 10094 checked", "\"черный\" 10102 checked"}},
        {2, 0x00070008, {"\"черный\" 10094 checked", "\"черный\" 10102 checked"}},
        {0,
         0x000C000B,
         {"\"желтый\" 10097 greyed", "\"белый\" 10109 greyed", "\"Обычный\" 10088 checked"}},
    };
    for (const Row& row : rows) {
        appState.iconView = row.view;
        appState.iconColors = row.colors;
        const std::string menu = shownMenu();
        for (const std::string& line : row.lines) {
            EXPECT_TRUE(shows(menu, "      " + line) || shows(menu, "    " + line))
                << std::hex << row.colors << ": " << line;
        }
    }
}

TEST_F(PopupMenuTest, ScreenRotationAutostartAndLoadEntries) {
    struct Row {
        const char* name;
        void (*setUp)();
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {"QVGA screen",
         [] {},
         {"\"QVGA\" 10081 checked", "\"VGA\" 10082 greyed", "\"PureVGA\" 10083 greyed"}},
        {"VGA screen without PureVGA resources",
         [] {
             appState.vgaScreen = 1;
             appState.screenMode = 1;
         },
         {"\"QVGA\" 10081 greyed", "\"VGA\" 10082 checked", "\"PureVGA\" 10083 greyed"}},
        {"PureVGA",
         [] {
             appState.vgaScreen = 1;
             appState.pureVgaAvailable = 1;
             appState.screenMode = 2;
         },
         {"\"VGA\" 10082", "\"PureVGA\" 10083 checked"}},
        {"no rotation", [] {}, {"\"0°\" 10084 greyed checked", "\"270°\" 10087 greyed"}},
        {"rotated by 180 degrees",
         [] {
             appState.rotationSupported = 1;
             simDisplay.orientation = 2;
         },
         {"\"0°\" 10084", "\"180°\" 10086 checked"}},
        {"rotated by 270 degrees",
         [] {
             appState.rotationSupported = 1;
             simDisplay.orientation = 4;
         },
         {"\"90°\" 10085", "\"270°\" 10087 checked"}},
        {"rotation the menu does not name",
         [] {
             appState.rotationSupported = 1;
             simDisplay.orientation = 3;
         },
         {"\"0°\" 10084", "\"90°\" 10085", "\"180°\" 10086", "\"270°\" 10087"}},
        {"autostart and no load",
         [] {
             appState.autostartEnabled = 1;
             appState.loadAvailable = 0;
         },
         {"\"Автостарт\" 10110 checked", "\"Загрузка\" 10090 greyed"}},
    };
    for (const Row& row : rows) {
        startOver();
        runningWith(ClockFamily::Pxa27x, 0x02000210, 0x9);
        row.setUp();
        const std::string menu = shownMenu();
        for (const std::string& line : row.lines) {
            EXPECT_NE(menu.find(line + "\n"), std::string::npos) << row.name << ": " << line;
        }
    }
}

TEST_F(PopupMenuTest, TheProcessListSkipsTheProgramButKeepsItsPosition) {
    simClearProcesses();
    simAddProcess(0x100, 3, u"a.exe");
    simAddProcess(0x200, 1, u"b.exe");
    simAddProcess(0x300, 2, u"Tavil.exe");
    simAddProcess(0x400, 9, u"c.exe");
    const std::string processes = R"menu(  "Процессы" >
    "a.exe (3)" 10115
    "b.exe (1)" 10116
    "c.exe (9)" 10118
  ---
)menu";
    const std::string menu = shownMenu();
    EXPECT_NE(menu.find(processes), std::string::npos) << menu;
    EXPECT_EQ(appState.menuProcessIds[2], 0x300u);
    EXPECT_EQ(appState.menuProcessCount, 4u);
}

TEST_F(PopupMenuTest, NoMoreThanAHundredProcessesAreKeptOrOffered) {
    simClearProcesses();
    for (std::uint32_t i = 1; i <= 120; ++i) {
        simAddProcess(i, 1, u"p.exe");
    }
    const std::string menu = shownMenu();
    EXPECT_EQ(appState.menuProcessCount, 100u);
    EXPECT_NE(menu.find(" 10214\n"), std::string::npos);
    EXPECT_EQ(menu.find(" 10215\n"), std::string::npos);
}

TEST_F(PopupMenuTest, ALongProcessNameIsCutToTheTextBuffer) {
    simClearProcesses();
    const std::u16string longName = std::u16string(200, u'x') + u".exe";
    simAddProcess(1, 1, longName.c_str());
    const std::string menu = shownMenu();
    EXPECT_NE(menu.find("\"" + std::string(127, 'x') + "\" 10115"), std::string::npos);
}

TEST_F(PopupMenuTest, AFailedSnapshotLeavesTheProcessesSubmenuEmpty) {
    simProcesses.snapshotFails = true;
    const std::string menu = shownMenu();
    EXPECT_NE(menu.find("  \"Процессы\" >\n  ---\n"), std::string::npos) << menu;
    EXPECT_EQ(appState.menuProcessCount, 0u);
}

} // namespace
