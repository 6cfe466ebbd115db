// The simulated handheld's restart, as a program that asked for one meets it:
// its process ends, the system starts again, a full reset returns the registry
// and files to the factory state, a screen mode takes effect, and the Startup
// folder's shortcuts start their programs.

#include "platform/display_settings.h"
#include "platform/files.h"
#include "platform/programs.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_registry.h"
#include "platform/windowing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const char16_t* STARTUP_SHORTCUT = u"\\Windows\\StartUp\\Tavil.lnk";
constexpr const char16_t* DISPLAY_KEY = u"Drivers\\Display\\GPE";
constexpr std::uint32_t REG_DWORD = 4;

struct ProgramRun {
    std::u16string commandLine;
    bool ownProcessRan;
};

std::vector<ProgramRun> programRuns;

int recordingProgram(ModuleHandle, const char16_t* commandLine) {
    programRuns.push_back(ProgramRun{commandLine, simProcessNamed(u"Tavil.exe") != nullptr});
    return 0;
}

class SimRestartTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetSimHandheld(SimProcessorKind::Pxa270);
        simProgramMain = recordingProgram;
        programRuns.clear();
    }
    void TearDown() override { simProgramMain = nullptr; }

    // The program asks for the restart and goes back to its message loop.
    static bool loopGoesOnAfterRestart() {
        restartDevice();
        WindowMessage message{};
        return getMessage(message);
    }
};

TEST_F(SimRestartTest, TheStartupShortcutStartsTheProgramAgainInAProcessOfItsOwn) {
    ASSERT_TRUE(createShortcut(STARTUP_SHORTCUT, u"\\Windows\\Tavil.exe"));
    ASSERT_TRUE(simAddProcess(0x600, 1, u"pword.exe"));
    simProcessor.cccr = 0x2000108;
    simHandheld.memoryTakenByOthers = 8u << 20;
    simHandheld.memory.availablePhysical = 15u << 20;
    EXPECT_FALSE(loopGoesOnAfterRestart());
    ASSERT_EQ(programRuns.size(), 1u);
    EXPECT_EQ(programRuns[0].commandLine, u"");
    EXPECT_TRUE(programRuns[0].ownProcessRan);
    EXPECT_EQ(simProcessWithId(0x0396B2A6), nullptr) << "the old process ended";
    EXPECT_EQ(simProcessWithId(0x600), nullptr) << "applications do not outlive a restart";
    EXPECT_NE(simProcessNamed(u"gwes.exe"), nullptr);
    EXPECT_EQ(simProcessor.cccr, simPoweredOnProcessor(SimProcessorKind::Pxa270).cccr);
    EXPECT_EQ(simHandheld.memory.availablePhysical, SIM_SWITCHED_ON_MEMORY.availablePhysical);
    EXPECT_EQ(simHandheld.restarts.carriedOut, 1);
    EXPECT_TRUE(simHandheld.restarts.programStartedAgain);
    EXPECT_FALSE(simHandheld.restarts.lastWasFull);
}

TEST_F(SimRestartTest, WithoutTheShortcutTheProgramStaysEnded) {
    ASSERT_TRUE(createShortcut(u"\\Windows\\Tavil.lnk", u"\\Windows\\Tavil.exe"))
        << "outside the Startup folder";
    EXPECT_FALSE(loopGoesOnAfterRestart());
    EXPECT_TRUE(programRuns.empty());
    EXPECT_EQ(simProcessNamed(u"Tavil.exe"), nullptr);
    EXPECT_FALSE(simNotificationArea.iconPresent);
}

TEST_F(SimRestartTest, AFullResetFirstReturnsRegistryAndFilesToTheFactoryState) {
    ASSERT_TRUE(createShortcut(STARTUP_SHORTCUT, u"\\Windows\\Tavil.exe"));
    const std::uint32_t one = 1;
    simSetRegistryValue(u"Software\\Dunmar\\Tavil", u"Mode", REG_DWORD, &one, sizeof one);
    markNextRestartClean();
    EXPECT_FALSE(loopGoesOnAfterRestart());
    EXPECT_TRUE(programRuns.empty()) << "the shortcut went with the reset";
    EXPECT_EQ(simFileCount(), 0);
    EXPECT_FALSE(simRegistryKeyExists(u"Software\\Dunmar\\Tavil"));
    EXPECT_TRUE(simHandheld.restarts.lastWasFull);
    EXPECT_FALSE(simPrograms.nextRestartClean) << "the reset is done";
}

TEST_F(SimRestartTest, AFullResetKeepsTheFilesOfTheHandheldsRom) {
    ASSERT_TRUE(simAddRomFile(u"\\Windows\\shellres.96.dll"));
    ASSERT_TRUE(simAddFile(u"\\My Documents\\notes.txt"));
    markNextRestartClean();
    loopGoesOnAfterRestart();
    EXPECT_TRUE(fileExists(u"\\Windows\\shellres.96.dll"));
    EXPECT_FALSE(fileExists(u"\\My Documents\\notes.txt"));
    EXPECT_EQ(simFileCount(), 1);
}

// A VGA screen takes the mode its display key names only at the restart.
TEST_F(SimRestartTest, TheScreenModeTakesEffectAtTheRestart) {
    struct Row {
        std::uint32_t logicalPixels;
        int smallIconAfter;
    };
    constexpr Row rows[] = {{96, 16}, {192, 32}};
    for (const Row& row : rows) {
        SetUp();
        simScreenMetrics = SimScreenMetrics{480, 640, 32, 64};
        simSetRegistryValue(DISPLAY_KEY, u"LogicalPixelsX", REG_DWORD, &row.logicalPixels,
                            sizeof row.logicalPixels);
        simScreenMetrics.smallIconWidth = 48; // neither: only the restart sets it
        loopGoesOnAfterRestart();
        EXPECT_EQ(simScreenMetrics.smallIconWidth, row.smallIconAfter) << row.logicalPixels;
        EXPECT_EQ(simScreenMetrics.iconSize, 2 * row.smallIconAfter) << row.logicalPixels;
    }
}

TEST_F(SimRestartTest, WithoutAFrontEndARestartIsOnlyCounted) {
    simProgramMain = nullptr;
    restartDevice();
    EXPECT_FALSE(simRestartPending());
    EXPECT_EQ(simDisplay.restarts, 1);
    EXPECT_NE(simProcessNamed(u"Tavil.exe"), nullptr);
}

} // namespace
