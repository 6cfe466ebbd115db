#pragma once
// What differs between the desktop's Tool Help and the device's: the entry
// type of the walk, how a snapshot is closed, and the access a process handle
// needs to end the process.

#include "platform/processes.h"

#include <cstdint>

bool firstToolHelpProcess(SnapshotHandle snapshot, ProcessEntry& entry);
bool nextToolHelpProcess(SnapshotHandle snapshot, ProcessEntry& entry);
bool closeToolHelpSnapshot(SnapshotHandle snapshot);
ProcessHandle openProcessToEnd(std::uint32_t processId);
