// The simulated handheld's system facts: what a test changes lasts until the
// handheld is switched on again, and a failed processor request reports nothing.

#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_system_info.h"

#include <gtest/gtest.h>

namespace {

TEST(SimSystemInfoTest, SwitchingOnUndoesChangesAndAFailedRequestReportsNothing) {
    resetSimHandheld(SimProcessorKind::Pxa270);
    simSystemInfo.version = {4, 21, 1088};
    simSystemInfo.processorQueryFails = true;
    const ProcessorInformation failed = queryProcessorInformation();
    EXPECT_EQ(failed.core[0] + failed.name[0] + failed.vendor[0], 0);
    EXPECT_EQ(failed.clockMhz, 0u);

    resetSimHandheld(SimProcessorKind::Pxa270);
    EXPECT_EQ(osVersion().minor, 1u);
    EXPECT_EQ(queryProcessorInformation().clockMhz, 416u);
}

} // namespace
