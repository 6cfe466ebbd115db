// The handheld's Tool Help library (built only for the device).

#include "platform/win32/process_entry.h"
#include "platform/win32/tool_help.h"

#include <tlhelp32.h>

// Tool Help on the device fills only an entry of exactly this size.
static_assert(sizeof(PROCESSENTRY32) == 564);

bool firstToolHelpProcess(HANDLE snapshot, ProcessEntry& entry) {
    return stepToolHelp<PROCESSENTRY32>(Process32First, snapshot, entry);
}

bool nextToolHelpProcess(HANDLE snapshot, ProcessEntry& entry) {
    return stepToolHelp<PROCESSENTRY32>(Process32Next, snapshot, entry);
}

bool closeToolHelpSnapshot(HANDLE snapshot) {
    return CloseToolhelp32Snapshot(snapshot) != FALSE;
}

// The device ignores the access asked for: a handle opened with access 0 can
// end the process.
HANDLE openProcessToEnd(DWORD processId) {
    return OpenProcess(0, FALSE, processId);
}
