#include "platform/notification_icon.h"
#include "platform/win32/native_handles.h"

#include <windows.h>

#include <shellapi.h>

namespace {

// The device's record is 152 bytes; here the shell gets its own first-version
// record, whose size depends on the pointer width.
NOTIFYICONDATAW nativeRecord(const NotifyIconRecord& record) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = native<HWND>(record.window);
    data.uID = record.id;
    data.uFlags = record.flags;
    data.uCallbackMessage = record.callbackMessage;
    data.hIcon = native<HICON>(record.icon);
    for (int i = 0; i < 63 && record.tip[i] != u'\0'; ++i) {
        data.szTip[i] = static_cast<wchar_t>(record.tip[i]);
    }
    return data;
}

bool notify(DWORD action, const NotifyIconRecord& record) {
    NOTIFYICONDATAW data = nativeRecord(record);
    return Shell_NotifyIconW(action, &data) != FALSE;
}

} // namespace

bool addNotifyIcon(const NotifyIconRecord& record) {
    return notify(NIM_ADD, record);
}
bool modifyNotifyIcon(const NotifyIconRecord& record) {
    return notify(NIM_MODIFY, record);
}
bool deleteNotifyIcon(const NotifyIconRecord& record) {
    return notify(NIM_DELETE, record);
}
