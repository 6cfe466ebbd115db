// What the logic relies on from the clock hardware, checked on every platform:
// the simulated handheld, and the Windows build (whose processor on a desktop is
// the simulated one behind a real reservation of address space).

#include "platform/clock_hardware.h"
#include "platform/live_objects.h"
#include "platform/sim/sim_processor.h"

#include <gtest/gtest.h>

namespace {

class ClockHardwareContract : public ::testing::Test {
  protected:
    void SetUp() override { resetSimProcessor(SimProcessorKind::Pxa270); }
    void TearDown() override { EXPECT_EQ(livePlatformObjects().cccrWindows, 0); }
};

TEST_F(ClockHardwareContract, IdentificationWordsAreReadInKernelMode) {
    std::uint32_t mainId = 0;
    std::uint32_t cacheType = 0;
    std::uint32_t cclkcfg = 0;
    auto read = [&] {
        setKernelMode(true);
        mainId = readMainId();
        cacheType = readCacheType();
        cclkcfg = readCclkcfg();
        setKernelMode(false);
    };
    ASSERT_TRUE(underFaultGuard(read));
    EXPECT_EQ(mainId & 0xFFFFE3F0, 0x69054110u);
    EXPECT_NE(cacheType, 0u);
    EXPECT_EQ(cclkcfg & 0x1, 0x1u);
}

TEST_F(ClockHardwareContract, AWindowReadsAndWritesTheCccr) {
    const CccrMapping mapping = mapCccrWindow();
    ASSERT_TRUE(mapping.mapped);
    EXPECT_NE(mapping.window, CccrWindow::None);
    EXPECT_EQ(livePlatformObjects().cccrWindows, 1);
    EXPECT_EQ(loadCccr(mapping.window), 0x02000210u);
    auto change = [&] {
        setKernelMode(true);
        storeCccr(mapping.window, 0x02000290);
        writeCclkcfg(0xB);
        setKernelMode(false);
    };
    EXPECT_TRUE(underFaultGuard(change));
    EXPECT_EQ(loadCccr(mapping.window), 0x02000290u);
    releaseCccrWindow(mapping.window);
}

TEST_F(ClockHardwareContract, AFailedMappingLeavesAReservationToRelease) {
    simProcessor.faults.copyCccrPage = true;
    const CccrMapping mapping = mapCccrWindow();
    EXPECT_FALSE(mapping.mapped);
    EXPECT_EQ(livePlatformObjects().cccrWindows, 1);
    releaseCccrWindow(mapping.window);
    EXPECT_EQ(livePlatformObjects().cccrWindows, 0);
    releaseCccrWindow(CccrWindow::None); // nothing to release: no effect
}

TEST_F(ClockHardwareContract, AFaultAbandonsTheGuardedStepAtOnce) {
    simProcessor.faults.readCacheType = true;
    bool mainIdRead = false;
    bool pastTheFault = false;
    auto read = [&] {
        setKernelMode(true);
        readMainId();
        mainIdRead = true;
        readCacheType();
        pastTheFault = true;
    };
    EXPECT_FALSE(underFaultGuard(read));
    setKernelMode(false);
    EXPECT_TRUE(mainIdRead);
    EXPECT_FALSE(pastTheFault);
}

TEST_F(ClockHardwareContract, PrivilegedAccessOutsideKernelModeFaults) {
    const CccrMapping mapping = mapCccrWindow();
    auto storeUnprivileged = [&] { storeCccr(mapping.window, 0x02000104); };
    auto readUnprivileged = [] { readCclkcfg(); };
    EXPECT_FALSE(underFaultGuard(storeUnprivileged));
    EXPECT_FALSE(underFaultGuard(readUnprivileged));
    EXPECT_EQ(loadCccr(mapping.window), 0x02000210u);
    releaseCccrWindow(mapping.window);
}

TEST_F(ClockHardwareContract, GuardsNestAndAnInnerFaultStaysInside) {
    simProcessor.faults.readMainId = true;
    bool innerCaught = false;
    auto inner = [] {
        setKernelMode(true);
        readMainId();
    };
    auto outer = [&] { innerCaught = !underFaultGuard(inner); };
    EXPECT_TRUE(underFaultGuard(outer));
    setKernelMode(false);
    EXPECT_TRUE(innerCaught);
}

TEST_F(ClockHardwareContract, TheErrorBeepReturns) {
    errorBeep();
}

} // namespace
