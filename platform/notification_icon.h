#pragma once
// The icon in the taskbar's notification area, described by the fields of the
// device's NOTIFYICONDATA that the program fills.

#include "platform/handles.h"

#include <cstdint>

struct NotifyIconRecord {
    std::uint32_t size;
    WindowHandle window;
    std::uint32_t id;
    std::uint32_t flags;
    std::uint32_t callbackMessage;
    IconHandle icon;
    char16_t tip[64];
};

inline constexpr std::uint32_t NOTIFY_ICON_RECORD_SIZE = 152; // the device's record
inline constexpr std::uint32_t NOTIFY_FLAG_MESSAGE = 0x1;
inline constexpr std::uint32_t NOTIFY_FLAG_ICON = 0x2;
inline constexpr std::uint32_t NOTIFY_FLAG_TIP = 0x4;

// Each returns whether the notification area accepted the request.
bool addNotifyIcon(const NotifyIconRecord& record);
bool modifyNotifyIcon(const NotifyIconRecord& record);
bool deleteNotifyIcon(const NotifyIconRecord& record);
