#pragma once
// Display settings (rotation) and the device's restart.

#include <cstdint>

// The fields of the device's DEVMODE that the program sets or reads.
struct DisplayModeRecord {
    std::uint16_t size;
    std::uint32_t fields;
    std::uint32_t orientation;
};

inline constexpr std::uint16_t DISPLAY_MODE_RECORD_SIZE = 192;
inline constexpr std::uint32_t DISPLAY_FIELD_ORIENTATION = 0x800000;
inline constexpr std::uint32_t DISPLAY_FIELD_QUERY_ORIENTATIONS = 0x1000000;
inline constexpr std::uint32_t DISPLAY_APPLY_NOW = 0;
inline constexpr std::uint32_t DISPLAY_TEST_ONLY = 2;

// Orientations: 0 = 0 degrees, 1 = 90, 2 = 180, 4 = 270.
inline constexpr std::uint32_t ORIENTATION_0 = 0;
inline constexpr std::uint32_t ORIENTATION_90 = 1;
inline constexpr std::uint32_t ORIENTATION_180 = 2;
inline constexpr std::uint32_t ORIENTATION_270 = 4;

// Applies the selected fields of the record (DISPLAY_APPLY_NOW), or fills them in
// with what the display has (DISPLAY_TEST_ONLY): with DISPLAY_FIELD_ORIENTATION
// the current orientation, with DISPLAY_FIELD_QUERY_ORIENTATIONS the bits of the
// orientations other than 0 degrees that the display supports (0: it cannot
// rotate). Returns 0 when the display accepted the request, a negative number
// when not.
std::int32_t changeDisplaySettings(DisplayModeRecord& record, std::uint32_t flags);

// Warm restart of the device. When the call returns, the program simply goes on.
void restartDevice();
