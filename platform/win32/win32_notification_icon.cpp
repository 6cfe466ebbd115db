#include "platform/notification_icon.h"
#include "platform/win32/notify_shell.h"

#include <windows.h>

#include <shellapi.h>

bool addNotifyIcon(const NotifyIconRecord& record) {
    return notifyShell(NIM_ADD, record);
}
bool modifyNotifyIcon(const NotifyIconRecord& record) {
    return notifyShell(NIM_MODIFY, record);
}
bool deleteNotifyIcon(const NotifyIconRecord& record) {
    return notifyShell(NIM_DELETE, record);
}
