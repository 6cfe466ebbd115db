// The trace's register lines come from the processor's write log, which holds
// SIM_REGISTER_LOG_CAPACITY writes: as many are traced in order, one more
// between two observations fails the trace rather than lose a line.

#include "platform/sim/sim_handheld.h"
#include "platform/sim/terminal/trace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct LogCase {
    int writes;
    bool traced;
};

constexpr LogCase LOG_CASES[] = {
    {1, true}, {SIM_REGISTER_LOG_CAPACITY, true}, {SIM_REGISTER_LOG_CAPACITY + 1, false}};

// What the log holds after `count` writes alternating CCCR and CCLKCFG, each
// the number of the write.
void logWrites(int count) {
    for (int i = 0; i < count && i < SIM_REGISTER_LOG_CAPACITY; ++i) {
        simProcessor.writes[i] =
            SimRegisterEvent{i % 2 == 0 ? SimRegisterWrite::Cccr : SimRegisterWrite::Cclkcfg,
                             static_cast<std::uint32_t>(i)};
    }
    simProcessor.writeCount = count;
}

std::string expectedLines(int count) {
    std::string lines;
    for (int i = 0; i < count; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "%s 0x%08X\n", i % 2 == 0 ? "cccr" : "cclkcfg", i);
        lines += line;
    }
    return lines;
}

TEST(TraceRegisterLog, WritesUpToTheLogsCapacityAreTracedInOrderAndOneMoreFailsTheTrace) {
    const std::string path = ::testing::TempDir() + "trace_register_log.txt";
    for (const LogCase& test : LOG_CASES) {
        SCOPED_TRACE(test.writes);
        resetSimHandheld(SimProcessorKind::Pxa270);
        ASSERT_TRUE(startTrace(path));
        logWrites(test.writes);
        traceAtWait();
        EXPECT_EQ(traceFailure().empty(), test.traced) << traceFailure();
        EXPECT_TRUE(endTrace(traceFailure().empty()));
        std::ifstream file(path);
        EXPECT_EQ(file.is_open(), test.traced);
        std::ostringstream text;
        text << file.rdbuf();
        EXPECT_EQ(text.str(), test.traced ? expectedLines(test.writes) : "");
        std::remove(path.c_str());
    }
}

// The writes not yet traced when the program ends come before its exit line.
TEST(TraceRegisterLog, WritesLeftAtTheEndComeBeforeTheExitLine) {
    const std::string path = ::testing::TempDir() + "trace_register_log_end.txt";
    resetSimHandheld(SimProcessorKind::Pxa270);
    ASSERT_TRUE(startTrace(path));
    logWrites(2);
    traceExit(3);
    ASSERT_TRUE(endTrace(true));
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    EXPECT_EQ(text.str(), expectedLines(2) + "exit 3\n");
    std::remove(path.c_str());
}

// The world lines name each planted fault as --fault and `world fault` do, one
// a line right after the processor's line, and the countdown with its count.
struct FaultLineCase {
    bool SimProcessorFaults::*flag;
    const char* line;
};

constexpr FaultLineCase FAULT_LINE_CASES[] = {
    {&SimProcessorFaults::readMainId, "world fault read-main-id"},
    {&SimProcessorFaults::readCacheType, "world fault read-cache-type"},
    {&SimProcessorFaults::readCclkcfg, "world fault read-cclkcfg"},
    {&SimProcessorFaults::writeCclkcfg, "world fault write-cclkcfg"},
    {&SimProcessorFaults::storeCccr, "world fault store-cccr"},
    {&SimProcessorFaults::loadCccr, "world fault load-cccr"},
    {&SimProcessorFaults::copyCccrPage, "world fault copy-cccr-page"},
    {&SimProcessorFaults::kernelModeRefused, "world fault kernel-mode-refused"},
};

// The trace's lines from the second to the first that is not a fault's.
std::string faultLinesOfWorld(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    std::string faults;
    std::getline(file, line); // world processor
    while (std::getline(file, line) && line.starts_with("world fault")) {
        faults += line + "\n";
    }
    return faults;
}

TEST(TraceWorld, EachPlantedFaultIsNamedRightAfterTheProcessor) {
    const std::string path = ::testing::TempDir() + "trace_world_faults.txt";
    for (const FaultLineCase& test : FAULT_LINE_CASES) {
        SCOPED_TRACE(test.line);
        resetSimHandheld(SimProcessorKind::Pxa270);
        simProcessor.faults.*test.flag = true;
        simProcessor.faults.accessesBeforeFault = 7;
        ASSERT_TRUE(startTrace(path));
        traceWorld();
        ASSERT_TRUE(endTrace(true));
        EXPECT_EQ(faultLinesOfWorld(path), std::string(test.line) + "\nworld fault access 7\n");
        std::remove(path.c_str());
    }
}

} // namespace
