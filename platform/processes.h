#pragma once
// The processes that run on the device: a snapshot to walk, and ending one.

#include <cstddef>
#include <cstdint>

enum class SnapshotHandle : std::uintptr_t { None = 0 };
enum class ProcessHandle : std::uintptr_t { None = 0 };

inline constexpr std::size_t PROCESS_NAME_CAPACITY = 260; // the executable's file name

// One process of a snapshot (the fields of the device's PROCESSENTRY32 in use).
struct ProcessEntry {
    std::uint32_t processId;
    std::uint32_t threadCount;
    char16_t exeFile[PROCESS_NAME_CAPACITY]; // the file name, always terminated
};

// A snapshot of the processes running now; None when it cannot be taken.
SnapshotHandle takeProcessSnapshot();

// The first and the following processes of the snapshot; false when there are
// no more (or the snapshot is None).
bool firstProcess(SnapshotHandle snapshot, ProcessEntry& entry);
bool nextProcess(SnapshotHandle snapshot, ProcessEntry& entry);

void closeProcessSnapshot(SnapshotHandle snapshot);

// Opens the process with that id (access 0, no inheritance); None when it cannot.
ProcessHandle openProcess(std::uint32_t processId);
bool terminateProcess(ProcessHandle process, std::uint32_t exitCode);
void closeProcessHandle(ProcessHandle process);
