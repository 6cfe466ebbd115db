// The panel's keys that act on what the handheld already holds: e ends the
// programs started from the panel, newest first, and r turns the screen on from
// wherever it stands, also after the program turned it.

#include "device/screen_rotation.h"
#include "platform/display_settings.h"
#include "platform/sim/sim_display.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/terminal/world.h"

#include <gtest/gtest.h>

namespace {

class WorldKeysTest : public ::testing::Test {
  protected:
    void SetUp() override { resetSimHandheld(SimProcessorKind::Pxa270); }
};

TEST_F(WorldKeysTest, EEndsTheMostRecentlyStartedProgramAtEachPress) {
    const std::uint32_t first = worldStartProcess(u"first.exe", 1);
    const std::uint32_t second = worldStartProcess(u"second.exe", 1);
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);

    ASSERT_TRUE(worldEndLastStarted());
    EXPECT_EQ(simProcessWithId(second), nullptr);
    EXPECT_NE(simProcessWithId(first), nullptr);

    ASSERT_TRUE(worldEndLastStarted());
    EXPECT_EQ(simProcessWithId(first), nullptr);

    EXPECT_FALSE(worldEndLastStarted()) << "nothing started from the panel is left";
    EXPECT_NE(simProcessNamed(u"nk.exe"), nullptr) << "the system's own processes stay";
}

TEST_F(WorldKeysTest, EPassesOverAProgramThatEndedOtherwise) {
    const std::uint32_t first = worldStartProcess(u"first.exe", 1);
    const std::uint32_t second = worldStartProcess(u"second.exe", 1);
    ASSERT_TRUE(worldEndProcess(second));

    ASSERT_TRUE(worldEndLastStarted());
    EXPECT_EQ(simProcessWithId(first), nullptr);
}

TEST_F(WorldKeysTest, RTurnsOnFromWhereTheScreenStands) {
    struct Case {
        std::uint32_t from;
        std::uint32_t to;
    };
    constexpr Case CASES[] = {{ORIENTATION_0, ORIENTATION_90},
                              {ORIENTATION_90, ORIENTATION_180},
                              {ORIENTATION_180, ORIENTATION_270},
                              {ORIENTATION_270, ORIENTATION_0}};
    for (const Case& turn : CASES) {
        setDisplayRotation(turn.from); // as the program's rotation commands do
        ASSERT_EQ(simDisplay.orientation, turn.from);
        worldRotateOnward();
        EXPECT_EQ(simDisplay.orientation, turn.to) << "from " << turn.from;
    }
}

} // namespace
