// The handheld's running processes through its Tool Help library (built only
// for the device), counting the snapshots and the process handles handed out
// and not yet closed.

#include "platform/processes.h"
#include "platform/win32/live_counts.h"
#include "platform/win32/native_handles.h"
#include "platform/win32/process_entry.h"

#include <windows.h>

#include <tlhelp32.h>

namespace {

// Tool Help on the device fills only an entry of exactly this size.
static_assert(sizeof(PROCESSENTRY32) == 564);

int openSnapshots = 0;
int openProcesses = 0;

HANDLE snapshotHandle(SnapshotHandle snapshot) {
    return native<HANDLE>(snapshot);
}

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
    return stepToolHelp<PROCESSENTRY32>(Process32First, snapshotHandle(snapshot), entry);
}

bool nextProcess(SnapshotHandle snapshot, ProcessEntry& entry) {
    return stepToolHelp<PROCESSENTRY32>(Process32Next, snapshotHandle(snapshot), entry);
}

void closeProcessSnapshot(SnapshotHandle snapshot) {
    if (snapshot != SnapshotHandle::None &&
        CloseToolhelp32Snapshot(snapshotHandle(snapshot)) != FALSE) {
        --openSnapshots;
    }
}

// The device ignores the access asked for: a handle opened with access 0 can
// end the process.
ProcessHandle openProcess(std::uint32_t processId) {
    const HANDLE process = OpenProcess(0, FALSE, processId);
    openProcesses += process != nullptr ? 1 : 0;
    return handleOf<ProcessHandle>(process);
}

bool terminateProcess(ProcessHandle process, std::uint32_t exitCode) {
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
