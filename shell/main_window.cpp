#include "shell/main_window.h"

#include "clock/clock_config.h"
#include "core/app_state.h"
#include "info/info_dialogs.h"
#include "platform/system_metrics.h"
#include "platform/windowing.h"
#include "shell/command_dispatch.h"
#include "shell/popup_menu.h"
#include "trayicon/icon_renderer.h"
#include "trayicon/tray_icon.h"

namespace {

constexpr std::intptr_t TAP_LEFT_BUTTON_DOWN = 513;
constexpr std::intptr_t TAP_RIGHT_BUTTON_DOWN = 516;

// The idle share of the last period, in tenths of a percent of 1000 ms, taken
// from 100; the counter wraps at 2^32, so the difference is taken modulo 2^32.
void measureLoad() {
    const std::uint32_t now = idleTime();
    const std::uint32_t idleMs = now - appState.lastIdleTime;
    appState.lastIdleTime = now;
    const std::int64_t load = 100 - static_cast<std::int64_t>(idleMs / 10);
    appState.cpuLoad = load < 0 ? 0 : static_cast<std::int32_t>(load);
}

// A live reading changes by itself; any other icon is redrawn only when its
// last refresh failed.
bool iconNeedsRefresh() {
    return appState.iconView > static_cast<std::uint32_t>(IconView::Frequency) ||
           appState.iconRefreshFailed != 0;
}

void onCreate(WindowHandle window) {
    addTrayIcon(window);
    setTimer(window, REFRESH_TIMER_ID, REFRESH_PERIOD_MS);
}

void onClose(WindowHandle window) {
    removeTrayIcon(window);
    destroyWindow(window);
}

void onTrayCallback(WindowHandle window, std::intptr_t mouseMessage) {
    if (mouseMessage == TAP_LEFT_BUTTON_DOWN || mouseMessage == TAP_RIGHT_BUTTON_DOWN) {
        showPopupMenu(window);
    }
}

} // namespace

void onRefreshTick() {
    enforceClockConfig();
    measureLoad();
    if (iconNeedsRefresh()) {
        refreshTrayIcon();
    }
    if (appState.processorDialogOpen != 0) {
        refreshProcessorDialog();
    }
    if (appState.powerDialogOpen != 0) {
        refreshPowerDialog();
    }
}

std::intptr_t mainWindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
    switch (message) {
    case WM_CREATE_MESSAGE:
        onCreate(window);
        return 0;
    case WM_DESTROY_MESSAGE:
        postQuitMessage(0);
        return 0;
    case WM_CLOSE_MESSAGE:
        onClose(window);
        return 0;
    case WM_COMMAND_MESSAGE:
        return dispatchCommand(window, wParam, lParam);
    case WM_TIMER_MESSAGE:
        onRefreshTick();
        return 0;
    case MSG_SHOW_MENU:
        showPopupMenu(window);
        return 0;
    case MSG_TRAY_CALLBACK:
        onTrayCallback(window, lParam);
        return 0;
    case MSG_APPLY_PRESET:
        applyExternalPreset(lParam);
        return 0;
    default:
        return defaultWindowProcedure(window, message, wParam, lParam);
    }
}
