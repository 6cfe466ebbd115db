// The desktop's Tool Help.

#include "platform/win32/native_handles.h"
#include "platform/win32/process_entry.h"
#include "platform/win32/tool_help.h"

#include <windows.h>

#include <tlhelp32.h>

bool firstToolHelpProcess(SnapshotHandle snapshot, ProcessEntry& entry) {
    return stepToolHelp<PROCESSENTRY32W>(Process32FirstW, native<HANDLE>(snapshot), entry);
}

bool nextToolHelpProcess(SnapshotHandle snapshot, ProcessEntry& entry) {
    return stepToolHelp<PROCESSENTRY32W>(Process32NextW, native<HANDLE>(snapshot), entry);
}

bool closeToolHelpSnapshot(SnapshotHandle snapshot) {
    return CloseHandle(native<HANDLE>(snapshot)) != FALSE;
}

// The device opens the process with access 0 and may still end it. A desktop
// grants a handle only the rights asked for, and one with access 0 cannot end
// the process, so here the handle asks for PROCESS_TERMINATE.
ProcessHandle openProcessToEnd(std::uint32_t processId) {
    return handleOf<ProcessHandle>(OpenProcess(PROCESS_TERMINATE, FALSE, processId));
}
