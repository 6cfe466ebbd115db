#pragma once
// AppState: the one static record that holds all of the program's state.
// Fields are grouped by the subsystem that writes them; the others only read.

#include "platform/display_settings.h"
#include "platform/handles.h"
#include "platform/notification_icon.h"

#include <cstddef>
#include <cstdint>

enum class ClockFamily : std::uint32_t { None = 0, Pxa25x = 1, Pxa27x = 2 };

enum class IconView : std::uint32_t {
    Normal = 0,
    Frequency = 1,
    Load = 2,
    Memory = 3,
    Battery = 4,
    Current = 5,
};

inline constexpr std::size_t TEXT_BUFFER_LENGTH = 128;
// The platform's longest path (MAX_PATH): the Startup folder path it reports
// always fits, with the shortcut's name after it.
inline constexpr std::size_t PATH_BUFFER_LENGTH = 260;
inline constexpr std::size_t MENU_PROCESS_LIMIT = 100;

struct AppState {
    // Clock control (clock/): identification, the configuration kept in force, its flags.
    ClockFamily clockFamily = ClockFamily::None;
    std::uint32_t cpuId = 0;
    std::uint32_t cacheType = 0;
    std::uint32_t currentCccr = 0;
    std::uint8_t highClocksAllowed = 1;
    std::uint8_t fastBus = 1;
    // CCLKCFG's turbo bit as last read or written; taken when a read faults. On
    // until known: the change word and the configurations the program offers
    // all have turbo on.
    std::uint8_t turboActive = 1;
    std::uint8_t memRatioTable[4] = {1, 1, 2, 4};              // PXA25x M field -> run/memory ratio
    std::uint8_t memClockTable[5] = {100, 118, 133, 150, 166}; // PXA25x L - 1 -> memory MHz
    // Called after every clock configuration applied: the tray icon sets it to
    // its redraw while it is in the notification area; none before.
    void (*clockApplied)() = nullptr;
    // Reads the turbo bit for a frequency about to be shown: clock control sets
    // it when it identifies the processor; none before.
    bool (*readTurbo)() = nullptr;

    // Settings store (core/): the five stored values.
    std::uint32_t minLimit = 1;
    std::uint32_t maxLimit = 6;
    std::uint32_t userCccr = 0;
    std::uint32_t iconView = static_cast<std::uint32_t>(IconView::Frequency);
    std::uint32_t iconColors = 0x000C000B;

    // Start-up (shell/): what the probes found.
    std::uint8_t vgaScreen = 0;
    std::uint8_t screenMode = 0;
    std::uint8_t pureVgaAvailable = 0;
    std::uint8_t rotationSupported = 0;
    std::uint8_t autostartEnabled = 0;
    std::uint8_t iconScale = 1;
    std::uint8_t loadAvailable = 1;
    char16_t pathBuffer[PATH_BUFFER_LENGTH] = {};
    ModuleHandle instance = ModuleHandle::None;

    // Main window (shell/): the load measurement.
    std::int32_t cpuLoad = 0;
    std::uint32_t lastIdleTime = 0;

    // Popup menu (shell/): process ids of the last enumeration, by position.
    std::uint32_t menuProcessIds[MENU_PROCESS_LIMIT] = {};
    std::uint32_t menuProcessCount = 0; // positions of menuProcessIds that the enumeration filled
    std::uint8_t popupMenuUp = 0;       // between building the menu and its closing

    // Notification icon (trayicon/).
    NotifyIconRecord notifyData = {};

    // Icon renderer (trayicon/): the reading the icon shows.
    std::int32_t lastIconReading = 0;
    std::uint8_t iconReadingDrawn = 0;  // 0: the next refresh draws whatever the reading
    std::uint8_t iconRefreshFailed = 0; // the icon could not be made or shown: ticks try again

    // Screen modes and rotation (device/).
    DisplayModeRecord displayMode = {};

    // Information dialogs (info/): each window is valid while its flag is set.
    WindowHandle processorDialog = WindowHandle::None;
    WindowHandle powerDialog = WindowHandle::None;
    WindowHandle memoryDialog = WindowHandle::None;
    WindowHandle systemDialog = WindowHandle::None;
    WindowHandle aboutDialog = WindowHandle::None;
    std::uint8_t processorDialogOpen = 0;
    std::uint8_t powerDialogOpen = 0;
    std::uint8_t memoryDialogOpen = 0;
    std::uint8_t systemDialogOpen = 0;
    std::uint8_t aboutDialogOpen = 0;

    // Shared by all: every formatted text is built here just before use.
    char16_t textBuffer[TEXT_BUFFER_LENGTH] = {};
};

extern AppState appState;
