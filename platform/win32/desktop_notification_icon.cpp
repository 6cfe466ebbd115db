// The desktop's shell gets its own first-version record, whose size depends on
// the pointer width, whatever size the program's record names.

#include "platform/win32/notify_shell.h"

#include <windows.h>

#include <shellapi.h>

bool notifyShell(std::uint32_t action, const NotifyIconRecord& record) {
    NOTIFYICONDATAW data = nativeNotifyRecord<NOTIFYICONDATAW>(record, NOTIFYICONDATAW_V1_SIZE);
    return Shell_NotifyIconW(action, &data) != FALSE;
}
