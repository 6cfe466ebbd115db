#include "shell/command_dispatch.h"

#include "platform/message_box.h"
#include "platform/sim/sim_display.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_programs.h"
#include "platform/sim/sim_windows.h"
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
