#include "shell/command_dispatch.h"

#include "platform/message_box.h"
#include "platform/sim/sim_display.h"
#include "platform/sim/sim_driver.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_menus.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_programs.h"
#include "platform/sim/sim_windows.h"
#include "shell/main_window.h"
#include "shell/popup_menu.h"
#include "tests/support/sim_test_fixture.h"

#include <string>

namespace {

constexpr WindowHandle MAIN_WINDOW = static_cast<WindowHandle>(0x10000);

class CommandDispatchTest : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        runningWith(ClockFamily::Pxa27x, 0x02000210, 0x9);
    }
    static std::intptr_t choose(std::uint32_t id) {
        return dispatchCommand(MAIN_WINDOW, 0xABCD0000u | id, 0x55);
    }
};

TEST_F(CommandDispatchTest, EachRangeReachesItsHandler) {
    EXPECT_EQ(choose(10006), 0);
    EXPECT_EQ(simProcessor.cccr, 0x02000310u); // 624 MHz
    EXPECT_EQ(choose(10086), 0);
    EXPECT_EQ(simDisplay.orientation, 2u);
    EXPECT_EQ(choose(10090), 0);
    EXPECT_EQ(appState.iconView, 2u);
    EXPECT_EQ(choose(10109), 0);
    EXPECT_EQ(appState.iconColors, 0x000F000Bu);
    std::u16string(u"\\Windows\\StartUp\\Tavil.lnk").copy(appState.pathBuffer, 27);
    EXPECT_EQ(choose(10110), 0);
    EXPECT_EQ(appState.autostartEnabled, 1);
    EXPECT_EQ(simWindowing.defaultHandled, 0);
}

// The first and last id of each range, and the single ids between ranges,
// each reach the handler that its menu entry names. PXA27x runs 0x02000210,
// PXA25x 0x00000243 (L 3, M 2, N 4).
struct Reach {
    ClockFamily family;
    std::uint32_t id;
    const char* handler;
    bool (*reached)();
};

constexpr ClockFamily PXA27X = ClockFamily::Pxa27x;
constexpr ClockFamily PXA25X = ClockFamily::Pxa25x;

const Reach REACHES[] = {
    {PXA27X, 10000, "52 MHz", [] { return simProcessor.cccr == 0x02000104u; }},
    {PXA27X, 10008, "832 MHz", [] { return simProcessor.cccr == 0x02000410u; }},
    {PXA25X, 10009, "100 MHz", [] { return simProcessor.cccr == 0x00000121u; }},
    {PXA25X, 10014, "600 MHz", [] { return simProcessor.cccr == 0x00000341u; }},
    {PXA27X, 10016, "user preset", [] { return simProcessor.cccr == 0x02000290u; }},
    {PXA27X, 10017, "x1.0", [] { return simProcessor.cccr == 0x02000110u; }},
    {PXA27X, 10023, "x4.0", [] { return simProcessor.cccr == 0x02000410u; }},
    {PXA25X, 10025, "L 1", [] { return simProcessor.cccr == 0x00000241u; }},
    {PXA25X, 10029, "L 5", [] { return simProcessor.cccr == 0x00000245u; }},
    {PXA27X, 10055, "L 31", [] { return simProcessor.cccr == 0x0200021Fu; }},
    {PXA27X, 10057, "lower limit 52", [] { return appState.minLimit == 0; }},
    {PXA27X, 10059, "lower limit 208", [] { return appState.minLimit == 2; }},
    {PXA27X, 10060, "upper limit 416", [] { return appState.maxLimit == 4; }},
    {PXA27X, 10064, "upper limit 832", [] { return appState.maxLimit == 8; }},
    {PXA25X, 10065, "upper limit 400", [] { return appState.maxLimit == 4; }},
    {PXA25X, 10067, "upper limit 600", [] { return appState.maxLimit == 6; }},
    {PXA27X, 10068, "Processor", [] { return appState.processorDialogOpen == 1; }},
    {PXA27X, 10071, "System", [] { return appState.systemDialogOpen == 1; }},
    {PXA27X, 10072, "help", [] { return simPrograms.programsStarted == 1; }},
    {PXA27X, 10073, "About", [] { return appState.aboutDialogOpen == 1; }},
    {PXA27X, 10074, "1 : 2", [] { return appState.fastBus == 0; }},
    {PXA27X, 10075, "1 : 1", [] { return simProcessor.writeCount == 1 && appState.fastBus == 1; }},
    {PXA25X, 10076, "x1", [] { return simProcessor.cccr == 0x00000223u; }},
    {PXA25X, 10078, "x4", [] { return simProcessor.cccr == 0x00000263u; }},
    {PXA27X, 10079, "store preset", [] { return appState.userCccr == 0x02000210u; }},
    {PXA27X, 10080, "clear preset", [] { return appState.userCccr == 0; }},
    {PXA27X, 10082, "VGA", [] { return simHandheld.messageBoxCount == 1; }},
    {PXA27X, 10087, "270", [] { return simDisplay.orientation == 4; }},
    {PXA27X, 10088, "Обычный", [] { return appState.iconView == 0; }},
    {PXA27X, 10093, "Т о к", [] { return appState.iconView == 5; }},
    {PXA27X, 10094, "black text", [] { return appState.iconColors == 0x000C0000u; }},
    {PXA27X, 10109, "white background", [] { return appState.iconColors == 0x000F000Bu; }},
    {PXA27X, 10110, "autostart", [] { return appState.autostartEnabled == 1; }},
    {PXA27X, 10111, "restart", [] { return simHandheld.messageBoxCount == 1; }},
    {PXA27X, 10112, "full reset", [] { return simHandheld.messageBoxCount == 1; }},
};

TEST_F(CommandDispatchTest, TheEdgesOfEveryRangeReachTheirHandlers) {
    for (const Reach& reach : REACHES) {
        startOver();
        runningWith(reach.family, reach.family == PXA27X ? 0x02000210 : 0x00000243, 0x9);
        appState.userCccr = 0x02000290;
        appState.minLimit = 1;
        appState.maxLimit = 5;
        std::u16string(u"\\Windows\\StartUp\\Tavil.lnk").copy(appState.pathBuffer, 27);
        EXPECT_EQ(choose(reach.id), 0) << reach.handler;
        EXPECT_TRUE(reach.reached()) << reach.id << " did not reach " << reach.handler;
        EXPECT_EQ(simWindowing.defaultHandled, 0) << reach.handler;
        for (WindowHandle* dialog :
             {&appState.processorDialog, &appState.systemDialog, &appState.aboutDialog}) {
            if (*dialog != WindowHandle::None) {
                destroyWindow(*dialog);
            }
        }
    }
}

TEST_F(CommandDispatchTest, ExitPostsTheCloseMessage) {
    registerWindowClass(WindowClassRecord{3, defaultWindowProcedure, ModuleHandle::None, 0, u"T"});
    const WindowHandle window = createWindow(u"T", u"T", 0, ModuleHandle::None);
    EXPECT_EQ(dispatchCommand(window, 10113, 0), 0);
    ASSERT_EQ(simWindowing.queued, 1);
    EXPECT_EQ(simWindowing.queue[simWindowing.first].message, 16u);
    destroyWindow(window);
}

TEST_F(CommandDispatchTest, EndingAListedProcessAsksFirst) {
    simClearProcesses();
    simAddProcess(0x100, 3, u"a.exe");
    simAddProcess(0x200, 1, u"b.exe");
    showPopupMenu(MAIN_WINDOW);
    for (const int answer : {MB_ANSWER_NO, MB_ANSWER_YES}) {
        scriptMessageBoxAnswer(answer);
        choose(10116);
        EXPECT_EQ(simProcessWithId(0x200) == nullptr, answer == MB_ANSWER_YES);
    }
    ASSERT_EQ(simHandheld.messageBoxCount, 2);
    EXPECT_EQ(std::u16string(simHandheld.messageBoxes[0].text),
              u"Вы действительно хотите закрыть процесс ?");
    EXPECT_EQ(std::u16string(simHandheld.messageBoxes[0].caption), u"Закрытие процесса");
    EXPECT_EQ(simHandheld.messageBoxes[0].style, 0x50124u);
    EXPECT_EQ(simProcesses.terminations[0].exitCode, 0u);
    EXPECT_EQ(simWindowing.defaultHandled, 2); // answered or not, the command goes on
    EXPECT_EQ(simWindowing.lastDefaultHandled.wParam, 0xABCD0000u | 10116);
    EXPECT_EQ(simWindowing.lastDefaultHandled.lParam, 0x55);
}

// The question's loop delivers a second copy's request, which builds the menu
// anew over a changed process list; "Yes" still means the process chosen.
TEST_F(CommandDispatchTest, EndingAProcessEndsTheOneChosenEvenIfTheListChangesWhileAsking) {
    registerWindowClass(WindowClassRecord{3, mainWindowProc, ModuleHandle::None, 0, u"Tavil"});
    const WindowHandle window = createWindow(u"Tavil", u"Tavil", 0, ModuleHandle::None);
    simClearProcesses();
    simAddProcess(0x100, 1, u"a.exe");
    simAddProcess(0x200, 1, u"b.exe");
    simAddProcess(0x300, 1, u"c.exe");
    showPopupMenu(window);
    simRemoveProcess(0x100); // b now holds the first position, c the second
    postMessage(window, MSG_SHOW_MENU, 0, 0);
    scriptMessageBoxAnswer(MB_ANSWER_YES);
    dispatchCommand(window, 10116, 0); // b, as listed when the user chose it
    EXPECT_EQ(simMenuTracking.count, 2) << "the request came while the question was up";
    EXPECT_EQ(simProcessWithId(0x200), nullptr);
    EXPECT_NE(simProcessWithId(0x300), nullptr);
    destroyWindow(window);
}

TEST_F(CommandDispatchTest, AMenuAskedForWhileTheMenuIsUpLeavesTheListChosenFrom) {
    registerWindowClass(WindowClassRecord{3, mainWindowProc, ModuleHandle::None, 0, u"Tavil"});
    const WindowHandle window = createWindow(u"Tavil", u"Tavil", 0, ModuleHandle::None);
    simClearProcesses();
    simAddProcess(0x100, 1, u"a.exe");
    simAddProcess(0x200, 1, u"b.exe");
    simAddProcess(0x300, 1, u"c.exe");
    simDriver.chooseMenuCommand = [](MenuHandle, int, int) -> std::uint32_t {
        simRemoveProcess(0x100); // a ends while the user looks at the menu
        postMessage(findWindow(u"Tavil", u"Tavil"), MSG_SHOW_MENU, 0, 0); // a second copy
        simRunModalLoop();
        return 10116; // b, second in the list shown
    };
    scriptMessageBoxAnswer(MB_ANSWER_YES);
    showPopupMenu(window);
    simDriver = SimDriver{};
    simRunModalLoop(); // the chosen command
    EXPECT_EQ(simMenuTracking.count, 1);
    EXPECT_EQ(simProcessWithId(0x200), nullptr) << "b was chosen";
    EXPECT_NE(simProcessWithId(0x300), nullptr);
    destroyWindow(window);
}

TEST_F(CommandDispatchTest, ACommandForAPositionNotListedEndsNothingAndAsksNothing) {
    simClearProcesses();
    simAddProcess(0x100, 3, u"a.exe");
    showPopupMenu(MAIN_WINDOW);
    scriptMessageBoxAnswer(MB_ANSWER_YES);
    for (const std::uint32_t id : {10116u, 10115u + 100u, 0xFFFFu}) {
        choose(id);
    }
    EXPECT_EQ(simHandheld.messageBoxCount, 0);
    EXPECT_NE(simProcessWithId(0x100), nullptr);
    EXPECT_EQ(simWindowing.defaultHandled, 3);
}

TEST_F(CommandDispatchTest, IdsNoEntrySendsGoToTheDefaultHandling) {
    for (const std::uint32_t id : {0u, 9999u, 10114u}) {
        choose(id);
    }
    EXPECT_EQ(simWindowing.defaultHandled, 3);
    EXPECT_EQ(simProcessor.writeCount, 0);
}

} // namespace
