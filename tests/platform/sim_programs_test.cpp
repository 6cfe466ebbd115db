// The parts of the simulated programs that only the simulated handheld has:
// the programs it has, its limits, and switching on again.

#include "platform/files.h"
#include "platform/programs.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_programs.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class SimProgramsTest : public ::testing::Test {
  protected:
    void SetUp() override { resetSimHandheld(SimProcessorKind::Pxa270); }
};

TEST_F(SimProgramsTest, OnlyTheProgramsTheHandheldHasStart) {
    const std::u16string tooLong(SIM_COMMAND_LINE_CAPACITY, u'a');
    EXPECT_FALSE(startProgram(u"peghelp.exe", tooLong.c_str()));
    EXPECT_FALSE(startProgram(u"pword.exe", u"Note.psw"));
    EXPECT_TRUE(simInstallProgram(u"pword.exe"));
    EXPECT_TRUE(startProgram(u"pword.exe", nullptr));
    EXPECT_EQ(std::u16string(simPrograms.startedCommandLine), u"");
    EXPECT_EQ(simPrograms.programsStarted, 1);
    EXPECT_FALSE(simRemoveProgram(u"pinball.exe"));
}

TEST_F(SimProgramsTest, ProgramsThatDoNotFitAreNotAdded) {
    EXPECT_FALSE(simInstallProgram(nullptr));
    EXPECT_FALSE(simInstallProgram(u""));
    EXPECT_FALSE(simInstallProgram(std::u16string(SIM_PATH_CAPACITY, u'p').c_str()));
    for (int i = 1; i < SIM_PROGRAM_CAPACITY; ++i) {
        EXPECT_TRUE(simInstallProgram(std::u16string(SIM_PATH_CAPACITY - i, u'p').c_str()));
    }
    EXPECT_TRUE(simInstallProgram(u"peghelp.exe")) << "already there";
    EXPECT_FALSE(simInstallProgram(u"one too many.exe"));
    EXPECT_EQ(simPrograms.installed.count, SIM_PROGRAM_CAPACITY);
}

TEST_F(SimProgramsTest, SwitchingOnAgainBringsBackTheViewerAndForgetsTheRest) {
    simRemoveProgram(u"peghelp.exe");
    createShortcut(u"\\Windows\\StartUp\\Tavil.lnk", u"\\Windows\\Tavil.exe");
    markNextRestartClean();
    resetSimHandheld(SimProcessorKind::Pxa270);
    EXPECT_FALSE(fileExists(u"\\Windows\\StartUp\\Tavil.lnk"));
    EXPECT_EQ(simPrograms.shortcutsMade, 0);
    EXPECT_FALSE(simPrograms.nextRestartClean);
    EXPECT_TRUE(startProgram(u"peghelp.exe", u""));
}

TEST_F(SimProgramsTest, TheHelpViewerShowsTheHelpFileOfItsLastStartFromTheSourceTree) {
    EXPECT_EQ(simHelpViewerPage(), u"") << "not started";
    ASSERT_TRUE(startProgram(u"peghelp.exe", u"file:tavil.htm#Main_Contents"));
    EXPECT_EQ(simHelpViewerPage(), u"resources/tavil.htm#Main_Contents");
    ASSERT_TRUE(startProgram(u"peghelp.exe", u"tavil.htm"));
    EXPECT_EQ(simHelpViewerPage(), u"") << "a command line that names no file";
    ASSERT_TRUE(simInstallProgram(u"pword.exe"));
    ASSERT_TRUE(startProgram(u"pword.exe", u"file:note.htm"));
    EXPECT_EQ(simHelpViewerPage(), u"") << "another program started last";
}

} // namespace
