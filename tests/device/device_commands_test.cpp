#include "device/device_commands.h"

#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/sim/sim_display.h"
#include "platform/sim/sim_programs.h"
#include "platform/whole_text.h"
#include "tests/support/sim_test_fixture.h"

#include <cstdint>
#include <string>

namespace {

constexpr const char16_t* SHORTCUT = u"\\Windows\\StartUp\\Tavil.lnk";

struct Question {
    const char16_t* text;
    const char16_t* caption;
    std::uint32_t style;
};

constexpr Question RESTART_QUESTIONS[] = {
    {u"Вы действительно хотите выполнить перезагрузку ?", u"Перезагрузка", 0x50124},
};
constexpr Question FULL_RESET_QUESTIONS[] = {
    {u"Вы действительно хотите выполнить полную очистку системы ?", u"Полный сброс", 0x50124},
    {u"Очистка системы приведет к потере всех данных и возврату к заводским настройкам !",
     u"Внимание", 0x50134},
};

class DeviceCommandsTest : public SimTest {
  protected:
    static void expectAsked(int position, const Question& question) {
        const SimMessageBox& shown = simHandheld.messageBoxes[position];
        EXPECT_EQ(std::u16string(shown.text), question.text) << position;
        EXPECT_EQ(std::u16string(shown.caption), question.caption) << position;
        EXPECT_EQ(shown.style, question.style) << position;
    }

    // As start-up leaves it when the Startup folder has room for the shortcut.
    static void shortcutPathFound() {
        copyWholeText(SHORTCUT, appState.pathBuffer, PATH_BUFFER_LENGTH);
    }
};

TEST_F(DeviceCommandsTest, RestartAndResetHappenOnlyWhenEveryQuestionIsAnsweredYes) {
    constexpr int YES = MB_ANSWER_YES;
    constexpr int NO = MB_ANSWER_NO;
    struct Row {
        std::uint32_t command;
        int answers[2];
        const Question* questions;
        int asked;
        int restarts;
        bool markedClean;
    };
    const Row rows[] = {
        {RESTART_COMMAND, {NO, YES}, RESTART_QUESTIONS, 1, 0, false},
        {RESTART_COMMAND, {YES, YES}, RESTART_QUESTIONS, 1, 1, false},
        {FULL_RESET_COMMAND, {NO, YES}, FULL_RESET_QUESTIONS, 1, 0, false},
        {FULL_RESET_COMMAND, {YES, NO}, FULL_RESET_QUESTIONS, 2, 0, false},
        {FULL_RESET_COMMAND, {YES, YES}, FULL_RESET_QUESTIONS, 2, 1, true},
    };
    for (const Row& row : rows) {
        startOver();
        scriptMessageBoxAnswer(row.answers[0]);
        scriptMessageBoxAnswer(row.answers[1]);
        handleDeviceCommand(row.command);
        ASSERT_EQ(simHandheld.messageBoxCount, row.asked) << row.command;
        for (int i = 0; i < row.asked; ++i) {
            expectAsked(i, row.questions[i]);
        }
        EXPECT_EQ(simDisplay.restarts, row.restarts) << row.command;
        EXPECT_EQ(simPrograms.nextRestartClean, row.markedClean) << row.command;
        EXPECT_EQ(simPrograms.restartsBeforeCleanMark, 0) << "marked before the restart";
    }
}

// Made, then removed; and turned off even when the shortcut was removed by hand,
// as the flag is the user's choice.
TEST_F(DeviceCommandsTest, AutostartMakesTheShortcutAndRemovesIt) {
    shortcutPathFound();
    handleDeviceCommand(AUTOSTART_COMMAND);
    EXPECT_EQ(appState.autostartEnabled, 1);
    EXPECT_TRUE(fileExists(SHORTCUT));
    EXPECT_EQ(std::u16string(simPrograms.shortcutPath), SHORTCUT);
    EXPECT_EQ(std::u16string(simPrograms.shortcutTarget), u"\\Windows\\Tavil.exe");
    handleDeviceCommand(AUTOSTART_COMMAND);
    EXPECT_EQ(appState.autostartEnabled, 0);
    EXPECT_EQ(simFileCount(), 0);

    appState.autostartEnabled = 1;
    handleDeviceCommand(AUTOSTART_COMMAND);
    EXPECT_EQ(appState.autostartEnabled, 0);
    EXPECT_EQ(simHandheld.messageBoxCount, 0);
}

TEST_F(DeviceCommandsTest, WithoutAShortcutPathAutostartIsUnavailable) {
    for (const std::uint8_t enabled : {0, 1}) {
        startOver();
        simAddFile(SHORTCUT);
        appState.autostartEnabled = enabled;
        handleDeviceCommand(AUTOSTART_COMMAND);
        EXPECT_EQ(appState.autostartEnabled, enabled);
        EXPECT_EQ(simFileCount(), 1);
        EXPECT_EQ(simPrograms.shortcutsMade, 0);
    }
}

TEST_F(DeviceCommandsTest, HelpOpensTheContentsOrSaysOnceThatTheViewerIsMissing) {
    handleDeviceCommand(HELP_COMMAND);
    EXPECT_EQ(simHandheld.messageBoxCount, 0);
    EXPECT_EQ(std::u16string(simPrograms.startedApplication), u"peghelp.exe");
    EXPECT_EQ(std::u16string(simPrograms.startedCommandLine), u"file:tavil.htm#Main_Contents");

    simRemoveProgram(u"peghelp.exe");
    handleDeviceCommand(HELP_COMMAND);
    ASSERT_EQ(simHandheld.messageBoxCount, 1);
    expectAsked(0, {u"Файл помощи не найден!", u"Tavil", 0x50010});
    EXPECT_EQ(simPrograms.programsStarted, 1);
}

TEST_F(DeviceCommandsTest, OtherCommandsDoNothingHere) {
    shortcutPathFound();
    scriptMessageBoxAnswer(MB_ANSWER_YES);
    for (const std::uint32_t id : {EXIT_COMMAND, ABOUT_DIALOG_COMMAND, COMMAND_SCREEN_VGA,
                                   LAST_PALETTE_COMMAND, 0u, 0xFFFFFFFFu}) {
        handleDeviceCommand(id);
    }
    EXPECT_EQ(simHandheld.messageBoxCount, 0);
    EXPECT_EQ(simDisplay.restarts, 0);
    EXPECT_EQ(simFileCount(), 0);
    EXPECT_EQ(simPrograms.programsStarted, 0);
    EXPECT_EQ(appState.autostartEnabled, 0);
}

} // namespace
