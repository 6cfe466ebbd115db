// What the logic relies on from the process service, checked on every
// platform: a snapshot lists the running processes and its walk ends, only a
// running process opens, and every handle handed out is released again.

#include "platform/live_objects.h"
#include "platform/processes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

constexpr std::uint32_t NO_SUCH_PROCESS = 0xFFFFFFF0;
constexpr std::size_t LONGEST_WALK = 100000; // far more processes than any system runs

class ProcessesContract : public ::testing::Test {
  protected:
    void SetUp() override { before = livePlatformObjects(); }
    void TearDown() override {
        const LiveObjectCounts after = livePlatformObjects();
        EXPECT_EQ(after.snapshots, before.snapshots) << "a snapshot was left open";
        EXPECT_EQ(after.processHandles, before.processHandles) << "a process was left open";
    }

    // The processes of the snapshot, from its first on; the walk fails the test
    // when it does not end.
    static std::vector<ProcessEntry> walk(SnapshotHandle snapshot) {
        std::vector<ProcessEntry> listed;
        ProcessEntry entry{};
        for (bool more = firstProcess(snapshot, entry); more; more = nextProcess(snapshot, entry)) {
            listed.push_back(entry);
            if (listed.size() == LONGEST_WALK) {
                ADD_FAILURE() << "the walk does not end";
                break;
            }
        }
        return listed;
    }

    LiveObjectCounts before{};
};

bool nameIsTerminatedAndNotEmpty(const ProcessEntry& entry) {
    const char16_t* const end = entry.exeFile + PROCESS_NAME_CAPACITY;
    return entry.exeFile[0] != u'\0' && std::find(entry.exeFile, end, u'\0') != end;
}

TEST_F(ProcessesContract, ASnapshotListsRunningProcessesFromTheFirstEachTime) {
    const SnapshotHandle snapshot = takeProcessSnapshot();
    ASSERT_NE(snapshot, SnapshotHandle::None);
    EXPECT_EQ(livePlatformObjects().snapshots, before.snapshots + 1);

    const std::vector<ProcessEntry> listed = walk(snapshot);
    EXPECT_TRUE(std::any_of(listed.begin(), listed.end(), [](const ProcessEntry& entry) {
        return entry.threadCount > 0 && nameIsTerminatedAndNotEmpty(entry);
    }));
    ProcessEntry entry{};
    EXPECT_FALSE(nextProcess(snapshot, entry)) << "the walk stays at its end";
    const std::vector<ProcessEntry> again = walk(snapshot);
    ASSERT_FALSE(again.empty());
    EXPECT_EQ(again.front().processId, listed.front().processId) << "first starts over";

    closeProcessSnapshot(snapshot);
}

TEST_F(ProcessesContract, NoSnapshotListsNothingAndClosesNothing) {
    ProcessEntry entry{};
    EXPECT_FALSE(firstProcess(SnapshotHandle::None, entry));
    EXPECT_FALSE(nextProcess(SnapshotHandle::None, entry));
    closeProcessSnapshot(SnapshotHandle::None);
}

TEST_F(ProcessesContract, OnlyARunningProcessOpensAndNoneEndsNothing) {
    EXPECT_EQ(openProcess(NO_SUCH_PROCESS), ProcessHandle::None);
    EXPECT_FALSE(terminateProcess(ProcessHandle::None, 0));
    closeProcessHandle(ProcessHandle::None);

    const SnapshotHandle snapshot = takeProcessSnapshot();
    const std::vector<ProcessEntry> listed = walk(snapshot);
    closeProcessSnapshot(snapshot);
    // Not every process lets itself be opened (the desktop's idle process does
    // not), but some of those listed do.
    ProcessHandle opened = ProcessHandle::None;
    for (auto entry = listed.begin(); opened == ProcessHandle::None && entry != listed.end();
         ++entry) {
        opened = openProcess(entry->processId);
    }
    ASSERT_NE(opened, ProcessHandle::None);
    EXPECT_EQ(livePlatformObjects().processHandles, before.processHandles + 1);
    closeProcessHandle(opened);
}

} // namespace
