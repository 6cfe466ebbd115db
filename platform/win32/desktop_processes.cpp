// The desktop's Tool Help.

#include "platform/win32/process_entry.h"
#include "platform/win32/tool_help.h"

#include <tlhelp32.h>

bool firstToolHelpProcess(HANDLE snapshot, ProcessEntry& entry) {
    return stepToolHelp<PROCESSENTRY32W>(Process32FirstW, snapshot, entry);
}

bool nextToolHelpProcess(HANDLE snapshot, ProcessEntry& entry) {
    return stepToolHelp<PROCESSENTRY32W>(Process32NextW, snapshot, entry);
}

bool closeToolHelpSnapshot(HANDLE snapshot) {
    return CloseHandle(snapshot) != FALSE;
}

// The device opens the process with access 0 and may still end it. A desktop
// grants a handle only the rights asked for, and one with access 0 cannot end
// the process, so here the handle asks for PROCESS_TERMINATE.
HANDLE openProcessToEnd(DWORD processId) {
    return OpenProcess(PROCESS_TERMINATE, FALSE, processId);
}
