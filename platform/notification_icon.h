#pragma once
// The notification-area icon record, with the fields of the device's
// NOTIFYICONDATA that the program fills.

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
