#pragma once
// Screen and icon measures, and the idle-time counter.

#include <cstdint>

inline constexpr int METRIC_SCREEN_WIDTH = 0;
inline constexpr int METRIC_SCREEN_HEIGHT = 1;
inline constexpr int METRIC_ICON_WIDTH = 11;
inline constexpr int METRIC_ICON_HEIGHT = 12;
inline constexpr int METRIC_SMALL_ICON_WIDTH = 49;

int systemMetric(int index);

// Milliseconds the system spent idle since it started; 0 or 0xFFFFFFFF when
// the counter is not kept.
std::uint32_t idleTime();
