#pragma once
// The program's one window: never shown, it owns the notification icon and
// receives the icon's taps, the menu commands, a second copy's requests and the
// one-second timer.

#include "platform/handles.h"

#include <cstdint>

// Messages that another copy of the program sends: fixed numbers.
inline constexpr std::uint32_t MSG_SHOW_MENU = 1025;
inline constexpr std::uint32_t MSG_APPLY_PRESET = 1027;

inline constexpr std::uintptr_t REFRESH_TIMER_ID = 1;
inline constexpr std::uint32_t REFRESH_PERIOD_MS = 1000;

std::intptr_t mainWindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam);

// Once a second: keeps the clock configuration, measures the load, and
// refreshes what shows a live reading.
void onRefreshTick();
