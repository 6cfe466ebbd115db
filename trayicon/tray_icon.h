#pragma once
// The program's icon in the notification area: added with the main window,
// removed when it closes. Taps on it reach the window as MSG_TRAY_CALLBACK.

#include "platform/handles.h"

#include <cstdint>

inline constexpr std::uint32_t MSG_TRAY_CALLBACK = 1026;
inline constexpr std::uint32_t TRAY_ICON_ID = 1;

void addTrayIcon(WindowHandle window);
void removeTrayIcon(WindowHandle window);
