#pragma once
// Handing the notification icon's record to the shell, whose record differs
// between the desktop and the device in its type and size.

#include "platform/notification_icon.h"
#include "platform/win32/native_handles.h"

#include <cstdint>

// The shell's record of type NativeRecord for `record`, its size field set to `size`.
template <typename NativeRecord>
NativeRecord nativeNotifyRecord(const NotifyIconRecord& record, std::uint32_t size) {
    NativeRecord data{};
    data.cbSize = size;
    data.hWnd = native<decltype(data.hWnd)>(record.window);
    data.uID = record.id;
    data.uFlags = record.flags;
    data.uCallbackMessage = record.callbackMessage;
    data.hIcon = native<decltype(data.hIcon)>(record.icon);
    for (int i = 0; i < 63 && record.tip[i] != u'\0'; ++i) {
        data.szTip[i] = static_cast<wchar_t>(record.tip[i]);
    }
    return data;
}

// Hands the record to the shell with `action` (add, modify or delete); true
// when the shell accepted it.
bool notifyShell(std::uint32_t action, const NotifyIconRecord& record);
