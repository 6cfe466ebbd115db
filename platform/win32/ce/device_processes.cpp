// The handheld's Tool Help library (built only for the device).

#include "platform/win32/ce/ce_sdk.h"
#include "platform/win32/native_handles.h"
#include "platform/win32/process_entry.h"
#include "platform/win32/tool_help.h"

bool firstToolHelpProcess(SnapshotHandle snapshot, ProcessEntry& entry) {
    return stepToolHelp<PROCESSENTRY32>(Process32First, native<HANDLE>(snapshot), entry);
}

bool nextToolHelpProcess(SnapshotHandle snapshot, ProcessEntry& entry) {
    return stepToolHelp<PROCESSENTRY32>(Process32Next, native<HANDLE>(snapshot), entry);
}

bool closeToolHelpSnapshot(SnapshotHandle snapshot) {
    return CloseToolhelp32Snapshot(native<HANDLE>(snapshot)) != FALSE;
}

// The device ignores the access asked for: a handle opened with access 0 can
// end the process.
ProcessHandle openProcessToEnd(std::uint32_t processId) {
    return handleOf<ProcessHandle>(OpenProcess(0, FALSE, processId));
}
