// The parts of the simulated processes that only the simulated handheld has:
// the table that tests set up, its limits, its fault and its log of endings.

#include "platform/live_objects.h"
#include "platform/processes.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_processes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::uint32_t NO_SUCH_PROCESS = 0xFFFFFFF0;

class SimProcessesTest : public ::testing::Test {
  protected:
    void SetUp() override { resetSimHandheld(SimProcessorKind::Pxa270); }
};

std::vector<ProcessEntry> walk(SnapshotHandle snapshot) {
    std::vector<ProcessEntry> listed;
    ProcessEntry entry{};
    for (bool more = firstProcess(snapshot, entry); more; more = nextProcess(snapshot, entry)) {
        listed.push_back(entry);
    }
    return listed;
}

std::vector<std::uint32_t> idsOf(const std::vector<ProcessEntry>& entries) {
    std::vector<std::uint32_t> ids;
    for (const ProcessEntry& entry : entries) {
        ids.push_back(entry.processId);
    }
    return ids;
}

std::vector<std::uint32_t> runningIds() {
    return idsOf({simProcesses.processes, simProcesses.processes + simProcesses.count});
}

std::vector<std::uint32_t> listedIds(SnapshotHandle snapshot) {
    return idsOf(walk(snapshot));
}

TEST_F(SimProcessesTest, ASnapshotListsTheProcessesRunningWhenItWasTaken) {
    const std::vector<std::uint32_t> atFirst = runningIds();
    ASSERT_GE(atFirst.size(), 10u);
    const SnapshotHandle old = takeProcessSnapshot();
    EXPECT_EQ(listedIds(old), atFirst);

    ASSERT_TRUE(simRemoveProcess(atFirst[0]));
    ASSERT_TRUE(simAddProcess(0x00000042, 1, u"calc.exe"));
    EXPECT_EQ(listedIds(old), atFirst) << "later changes do not show";
    std::vector<std::uint32_t> now(atFirst.begin() + 1, atFirst.end());
    now.push_back(0x00000042);
    const SnapshotHandle fresh = takeProcessSnapshot();
    EXPECT_EQ(listedIds(fresh), now);
    closeProcessSnapshot(old);
    closeProcessSnapshot(fresh);
}

TEST_F(SimProcessesTest, AFullTableOfMoreThanAHundredProcessesIsListedInOrder) {
    simClearProcesses();
    for (int i = 0; i < SIM_PROCESS_CAPACITY; ++i) {
        const std::u16string name = u"app" + std::u16string(i + 1, u'x') + u".exe";
        ASSERT_TRUE(simAddProcess(0x1000 + 4 * i, 1 + i % 7, name.c_str())) << i;
    }
    EXPECT_FALSE(simAddProcess(0x0FFC, 1, u"one too many.exe"));

    const SnapshotHandle snapshot = takeProcessSnapshot();
    const std::vector<ProcessEntry> listed = walk(snapshot);
    closeProcessSnapshot(snapshot);
    ASSERT_EQ(listed.size(), static_cast<std::size_t>(SIM_PROCESS_CAPACITY));
    for (int i = 0; i < SIM_PROCESS_CAPACITY; ++i) {
        EXPECT_EQ(listed[i].processId, 0x1000u + 4 * i);
        EXPECT_EQ(listed[i].threadCount, 1u + i % 7);
        EXPECT_EQ(std::u16string(listed[i].exeFile).size(), i + 8u);
    }
}

TEST_F(SimProcessesTest, AProcessNeedsAnIdOfItsOwnAndANameThatFits) {
    const std::u16string longest(PROCESS_NAME_CAPACITY - 1, u'n');
    const std::u16string tooLong(PROCESS_NAME_CAPACITY, u'n');
    const std::uint32_t running = simProcesses.processes[0].processId;
    const struct {
        std::uint32_t processId;
        const char16_t* exeFile;
        bool added;
    } cases[] = {
        {running, u"again.exe", false}, {0x50, nullptr, false},        {0x50, u"", false},
        {0x50, tooLong.c_str(), false}, {0x50, longest.c_str(), true},
    };
    for (const auto& each : cases) {
        const int before = simProcesses.count;
        EXPECT_EQ(simAddProcess(each.processId, 3, each.exeFile), each.added) << each.processId;
        EXPECT_EQ(simProcesses.count, before + (each.added ? 1 : 0));
    }
    EXPECT_EQ(std::u16string(simProcessWithId(0x50)->exeFile), longest);
}

TEST_F(SimProcessesTest, EndingAProcessRemovesItAndLogsItsExitCode) {
    std::vector<std::uint32_t> running = runningIds();
    const std::uint32_t ended = running[2];
    const ProcessHandle process = openProcess(ended);
    ASSERT_NE(process, ProcessHandle::None);
    EXPECT_TRUE(terminateProcess(process, 0x2A));
    EXPECT_EQ(simProcessWithId(ended), nullptr);
    running.erase(running.begin() + 2);
    EXPECT_EQ(runningIds(), running) << "the others keep their order";
    ASSERT_EQ(simProcesses.terminationCount, 1);
    EXPECT_EQ(simProcesses.terminations[0].processId, ended);
    EXPECT_EQ(simProcesses.terminations[0].exitCode, 0x2Au);

    EXPECT_FALSE(terminateProcess(process, 0)) << "it has ended already";
    EXPECT_EQ(simProcesses.terminationCount, 1);
    closeProcessHandle(process);

    running.erase(running.begin()); // the kernel, which cannot be ended
    for (const std::uint32_t id : running) {
        const ProcessHandle next = openProcess(id);
        EXPECT_TRUE(terminateProcess(next, id));
        closeProcessHandle(next);
    }
    EXPECT_EQ(simProcesses.count, 1);
    EXPECT_EQ(simProcesses.terminationCount, static_cast<int>(running.size()) + 1);
    const SimTermination& lastLogged = simProcesses.terminations[SIM_TERMINATION_LOG_CAPACITY - 1];
    EXPECT_EQ(lastLogged.processId, running[SIM_TERMINATION_LOG_CAPACITY - 2]);
}

// The kernel refuses to be ended, under any name case, and logs nothing.
TEST_F(SimProcessesTest, TheKernelCannotBeEnded) {
    const std::uint32_t kernel = simProcesses.processes[0].processId;
    ASSERT_EQ(std::u16string(simProcesses.processes[0].exeFile), u"nk.exe");
    ASSERT_TRUE(simAddProcess(0x77, 1, u"NK.EXE"));
    for (const std::uint32_t id : {kernel, 0x77u}) {
        const ProcessHandle process = openProcess(id);
        ASSERT_NE(process, ProcessHandle::None);
        EXPECT_FALSE(terminateProcess(process, 0));
        EXPECT_NE(simProcessWithId(id), nullptr);
        closeProcessHandle(process);
    }
    EXPECT_EQ(simProcesses.terminationCount, 0);
}

// Started processes get ids of their own from 0x5000 up, multiples of 4; a
// restart leaves only the system's own processes.
TEST_F(SimProcessesTest, StartedProcessesAndTheSystemsOwnAfterARestart) {
    const std::uint32_t first = simStartProcess(u"pword.exe", 1);
    const std::uint32_t second = simStartProcess(u"pword.exe", 1);
    EXPECT_EQ(first, 0x5000u);
    EXPECT_EQ(second, 0x5004u);
    EXPECT_EQ(simProcessNamed(u"PWORD.exe")->processId, first);
    EXPECT_EQ(simStartProcess(u"", 1), 0u);
    simRestartSystemProcesses();
    std::vector<std::u16string> names;
    for (int i = 0; i < simProcesses.count; ++i) {
        names.emplace_back(simProcesses.processes[i].exeFile);
    }
    const std::vector<std::u16string> system = {u"nk.exe",     u"filesys.exe", u"device.exe",
                                                u"gwes.exe",   u"shell32.exe", u"services.exe",
                                                u"connmgr.exe"};
    EXPECT_EQ(names, system);
}

TEST_F(SimProcessesTest, UnknownIdsClosedHandlesAndAFailingSnapshotGiveNothing) {
    EXPECT_EQ(openProcess(NO_SUCH_PROCESS), ProcessHandle::None);
    const std::uint32_t removed = simProcesses.processes[0].processId;
    const ProcessHandle process = openProcess(removed);
    ASSERT_TRUE(simRemoveProcess(removed));
    EXPECT_FALSE(simRemoveProcess(removed));
    EXPECT_EQ(openProcess(removed), ProcessHandle::None);
    EXPECT_FALSE(terminateProcess(process, 0)) << "ended without this handle";
    closeProcessHandle(process);

    const ProcessHandle closed = openProcess(simProcesses.processes[0].processId);
    closeProcessHandle(closed);
    EXPECT_FALSE(terminateProcess(closed, 0));
    const SnapshotHandle snapshot = takeProcessSnapshot();
    closeProcessSnapshot(snapshot);
    ProcessEntry entry{};
    EXPECT_FALSE(firstProcess(snapshot, entry));

    simProcesses.snapshotFails = true;
    EXPECT_EQ(takeProcessSnapshot(), SnapshotHandle::None);
    EXPECT_EQ(simProcesses.terminationCount, 0);
    EXPECT_EQ(simLiveSnapshots(), 0);
    EXPECT_EQ(simLiveProcessHandles(), 0);
}

TEST_F(SimProcessesTest, HandlesAreCountedUntilClosedAndAResetForgetsThem) {
    const std::uint32_t id = simProcesses.processes[0].processId;
    const SnapshotHandle snapshots[] = {takeProcessSnapshot(), takeProcessSnapshot()};
    const ProcessHandle processes[] = {openProcess(id), openProcess(id)};
    EXPECT_NE(processes[0], processes[1]);
    EXPECT_EQ(livePlatformObjects().snapshots, 2);
    EXPECT_EQ(livePlatformObjects().processHandles, 2);
    for (int twice = 0; twice < 2; ++twice) {
        closeProcessSnapshot(snapshots[0]);
        closeProcessHandle(processes[0]);
        EXPECT_EQ(livePlatformObjects().snapshots, 1);
        EXPECT_EQ(livePlatformObjects().processHandles, 1);
    }

    const std::vector<std::uint32_t> switchedOn = runningIds();
    simClearProcesses();
    simProcesses.snapshotFails = true;
    resetSimHandheld(SimProcessorKind::Pxa270);
    EXPECT_EQ(livePlatformObjects().snapshots, 0);
    EXPECT_EQ(livePlatformObjects().processHandles, 0);
    EXPECT_EQ(runningIds(), switchedOn);
    const SnapshotHandle working = takeProcessSnapshot();
    EXPECT_NE(working, SnapshotHandle::None);
    closeProcessSnapshot(working);
}

} // namespace
