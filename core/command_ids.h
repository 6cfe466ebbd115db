#pragma once
// Command ids of the popup menu (menu resource 100). The menu entry with id
// 10000 + k is frequency-list position k; the process entries start at
// FIRST_PROCESS_COMMAND. Each range is handled by the subsystem named beside it.

#include <cstdint>

// The command id of a command message: the low word of its first parameter.
constexpr std::uint32_t commandIdOf(std::uintptr_t wParam) {
    return static_cast<std::uint32_t>(wParam & 0xFFFF);
}

constexpr bool isCommandIn(std::uint32_t id, std::uint32_t first, std::uint32_t last) {
    return id >= first && id <= last;
}

// Clock control (clock/): the frequency list, the user preset, multiplier,
// frequency, limits, divider and the preset store.
inline constexpr std::uint32_t FIRST_FREQUENCY_COMMAND = 10000; // 10000-10014: list positions
inline constexpr std::uint32_t LAST_FREQUENCY_COMMAND = 10014;
inline constexpr std::uint32_t FREQUENCY_LIST_PLACEHOLDER = 10015;
inline constexpr std::uint32_t USER_PRESET_COMMAND = 10016;
inline constexpr std::uint32_t FIRST_MULTIPLIER_COMMAND = 10017; // x1.0 .. x4.0
inline constexpr std::uint32_t MULTIPLIER_X3_5_COMMAND = 10022;
inline constexpr std::uint32_t LAST_MULTIPLIER_COMMAND = 10023; // x4.0
inline constexpr std::uint32_t RUN_FREQUENCY_PLACEHOLDER = 10024;
inline constexpr std::uint32_t FIRST_RUN_FREQUENCY_COMMAND = 10025;       // L 1 .. 31
inline constexpr std::uint32_t LAST_PXA25X_RUN_FREQUENCY_COMMAND = 10029; // L 5
inline constexpr std::uint32_t LAST_RUN_FREQUENCY_COMMAND = 10055;
inline constexpr std::uint32_t LIMIT_PLACEHOLDER = 10056;
inline constexpr std::uint32_t FIRST_MIN_LIMIT_COMMAND = 10057; // 52, 104, 208 MHz
inline constexpr std::uint32_t LAST_MIN_LIMIT_COMMAND = 10059;
inline constexpr std::uint32_t FIRST_PXA27X_MAX_LIMIT_COMMAND = 10060; // 416 .. 832 MHz
inline constexpr std::uint32_t LAST_PXA27X_MAX_LIMIT_COMMAND = 10064;
inline constexpr std::uint32_t FIRST_PXA25X_MAX_LIMIT_COMMAND = 10065; // 400 .. 600 MHz
inline constexpr std::uint32_t LAST_PXA25X_MAX_LIMIT_COMMAND = 10067;
inline constexpr std::uint32_t LAST_CLOCK_LIMIT_COMMAND = LAST_PXA25X_MAX_LIMIT_COMMAND;
inline constexpr std::uint32_t FAST_BUS_OFF_COMMAND = 10074;            // "1 : 2"
inline constexpr std::uint32_t FAST_BUS_ON_COMMAND = 10075;             // "1 : 1"
inline constexpr std::uint32_t FIRST_MEMORY_MULTIPLIER_COMMAND = 10076; // x1, x2, x4
inline constexpr std::uint32_t LAST_MEMORY_MULTIPLIER_COMMAND = 10078;
inline constexpr std::uint32_t STORE_USER_PRESET_COMMAND = 10079;
inline constexpr std::uint32_t CLEAR_USER_PRESET_COMMAND = 10080;

// Information dialogs (info/) and help (device/).
inline constexpr std::uint32_t PROCESSOR_DIALOG_COMMAND = 10068;
inline constexpr std::uint32_t POWER_DIALOG_COMMAND = 10069;
inline constexpr std::uint32_t MEMORY_DIALOG_COMMAND = 10070;
inline constexpr std::uint32_t SYSTEM_DIALOG_COMMAND = 10071;
inline constexpr std::uint32_t HELP_COMMAND = 10072;
inline constexpr std::uint32_t ABOUT_DIALOG_COMMAND = 10073;

// Screen modes and rotation (device/).
inline constexpr std::uint32_t COMMAND_SCREEN_QVGA = 10081;
inline constexpr std::uint32_t COMMAND_SCREEN_VGA = 10082;
inline constexpr std::uint32_t COMMAND_SCREEN_PURE_VGA = 10083;
inline constexpr std::uint32_t COMMAND_ROTATE_0 = 10084;
inline constexpr std::uint32_t COMMAND_ROTATE_90 = 10085;
inline constexpr std::uint32_t COMMAND_ROTATE_180 = 10086;
inline constexpr std::uint32_t COMMAND_ROTATE_270 = 10087;
inline constexpr std::uint32_t FIRST_SCREEN_COMMAND = COMMAND_SCREEN_QVGA;
inline constexpr std::uint32_t LAST_SCREEN_COMMAND = COMMAND_ROTATE_270;

// Icon mode and palette (trayicon/ through the settings store).
inline constexpr std::uint32_t FIRST_ICON_VIEW_COMMAND = 10088; // mode 0..5
inline constexpr std::uint32_t LAST_ICON_VIEW_COMMAND = 10093;
inline constexpr std::uint32_t FIRST_PALETTE_COMMAND = 10094; // text 0..7, background 8..15
inline constexpr std::uint32_t LAST_PALETTE_COMMAND = 10109;

// Device controls (device/) and the program itself (shell/).
inline constexpr std::uint32_t AUTOSTART_COMMAND = 10110;
inline constexpr std::uint32_t RESTART_COMMAND = 10111;
inline constexpr std::uint32_t FULL_RESET_COMMAND = 10112;
inline constexpr std::uint32_t EXIT_COMMAND = 10113;
inline constexpr std::uint32_t PROCESS_LIST_PLACEHOLDER = 10114;
inline constexpr std::uint32_t FIRST_PROCESS_COMMAND = 10115;

static_assert(LAST_FREQUENCY_COMMAND - FIRST_FREQUENCY_COMMAND == 14, "15 list positions");
static_assert(LAST_RUN_FREQUENCY_COMMAND - RUN_FREQUENCY_PLACEHOLDER == 31, "L runs 1 to 31");
static_assert(LAST_PXA25X_RUN_FREQUENCY_COMMAND - RUN_FREQUENCY_PLACEHOLDER == 5,
              "PXA25x offers L 1 to 5, its five memory clocks");
static_assert(FIRST_MULTIPLIER_COMMAND - FREQUENCY_LIST_PLACEHOLDER == 2 &&
                  MULTIPLIER_X3_5_COMMAND - FREQUENCY_LIST_PLACEHOLDER == 7,
              "the multiplier entries stand for ratios 2 to 8 in halves");
static_assert(FIRST_MEMORY_MULTIPLIER_COMMAND - FAST_BUS_ON_COMMAND == 1,
              "the divider entries stand for M 1 to 3");
static_assert(FIRST_PXA27X_MAX_LIMIT_COMMAND - LIMIT_PLACEHOLDER == 4,
              "the PXA27x upper limits stand for list positions 4 to 8");
static_assert(LAST_CLOCK_LIMIT_COMMAND + 1 == PROCESSOR_DIALOG_COMMAND,
              "the dialog commands sit between the limits and the divider");
static_assert(ABOUT_DIALOG_COMMAND + 1 == FAST_BUS_OFF_COMMAND, "the divider follows the dialogs");
static_assert(CLEAR_USER_PRESET_COMMAND + 1 == FIRST_SCREEN_COMMAND, "screen follows the clock");
static_assert(LAST_ICON_VIEW_COMMAND - FIRST_ICON_VIEW_COMMAND == 5, "six icon modes");
static_assert(LAST_PALETTE_COMMAND - FIRST_PALETTE_COMMAND == 15, "eight text, eight backgrounds");
static_assert(LAST_PALETTE_COMMAND + 1 == AUTOSTART_COMMAND, "device controls follow the palette");
static_assert(PROCESS_LIST_PLACEHOLDER + 1 == FIRST_PROCESS_COMMAND, "processes come last");
