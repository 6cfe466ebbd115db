// The running processes through Tool Help, counting the snapshots and the
// process handles handed out and not yet closed.

#include "platform/processes.h"
#include "platform/win32/live_counts.h"
#include "platform/win32/native_handles.h"
#include "platform/win32/tool_help.h"

#include <windows.h>

#include <tlhelp32.h>

namespace {

int openSnapshots = 0;
int openProcesses = 0;

HANDLE processHandle(ProcessHandle process) {
    return native<HANDLE>(process);
}

} // namespace

SnapshotHandle takeProcessSnapshot() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return SnapshotHandle::None;
    }
    ++openSnapshots;
    return handleOf<SnapshotHandle>(snapshot);
}

bool firstProcess(SnapshotHandle snapshot, ProcessEntry& entry) {
    return firstToolHelpProcess(snapshot, entry);
}

bool nextProcess(SnapshotHandle snapshot, ProcessEntry& entry) {
    return nextToolHelpProcess(snapshot, entry);
}

void closeProcessSnapshot(SnapshotHandle snapshot) {
    if (snapshot != SnapshotHandle::None && closeToolHelpSnapshot(snapshot)) {
        --openSnapshots;
    }
}

ProcessHandle openProcess(std::uint32_t processId) {
    const ProcessHandle process = openProcessToEnd(processId);
    openProcesses += process != ProcessHandle::None ? 1 : 0;
    return process;
}

bool terminateProcess(ProcessHandle process, std::uint32_t exitCode) {
    // None never reaches the system, whose lowest layer reads a null handle as
    // the calling process.
    return process != ProcessHandle::None &&
           TerminateProcess(processHandle(process), exitCode) != FALSE;
}

void closeProcessHandle(ProcessHandle process) {
    if (process != ProcessHandle::None && CloseHandle(processHandle(process)) != FALSE) {
        --openProcesses;
    }
}

int liveSnapshots() {
    return openSnapshots;
}

int liveProcessHandles() {
    return openProcesses;
}
