#pragma once
// What differs between the desktop's Tool Help and the device's: the entry
// type of the walk, how a snapshot is closed, and the access a process handle
// needs to end the process.

#include "platform/processes.h"

#include <windows.h>

bool firstToolHelpProcess(HANDLE snapshot, ProcessEntry& entry);
bool nextToolHelpProcess(HANDLE snapshot, ProcessEntry& entry);
bool closeToolHelpSnapshot(HANDLE snapshot);
HANDLE openProcessToEnd(DWORD processId);
