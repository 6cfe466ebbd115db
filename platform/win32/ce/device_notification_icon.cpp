// The handheld's notification icon (built only for the device).

#include "platform/win32/ce/ce_sdk.h"
#include "platform/win32/notify_shell.h"

static_assert(sizeof(NOTIFYICONDATA) == NOTIFY_ICON_RECORD_SIZE);

// The size comes from the program's record, which is the device's own; no desktop constant.
bool notifyShell(std::uint32_t action, const NotifyIconRecord& record) {
    NOTIFYICONDATA data = nativeNotifyRecord<NOTIFYICONDATA>(record, record.size);
    return Shell_NotifyIcon(action, &data) != FALSE;
}
