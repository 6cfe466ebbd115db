#include "trayicon/tray_icon.h"

#include "core/app_state.h"
#include "platform/graphics.h"
#include "platform/notification_icon.h"
#include "trayicon/icon_renderer.h"

namespace {

void identify(WindowHandle window) {
    appState.notifyData.size = NOTIFY_ICON_RECORD_SIZE;
    appState.notifyData.window = window;
    appState.notifyData.id = TRAY_ICON_ID;
}

} // namespace

// From here on every clock change redraws the icon; a change before (a preset
// at start-up) is drawn by the refresh at the end.
void addTrayIcon(WindowHandle window) {
    identify(window);
    appState.notifyData.icon = loadApplicationIcon(appState.instance, trayIconSize());
    appState.iconRefreshFailed = appState.notifyData.icon == IconHandle::None ? 1 : 0;
    appState.notifyData.flags = NOTIFY_FLAG_MESSAGE | NOTIFY_FLAG_ICON | NOTIFY_FLAG_TIP;
    appState.notifyData.callbackMessage = MSG_TRAY_CALLBACK;
    addNotifyIcon(appState.notifyData);
    appState.clockApplied = refreshTrayIcon;
    if (appState.clockFamily != ClockFamily::None) {
        refreshTrayIcon();
    }
}

void removeTrayIcon(WindowHandle window) {
    identify(window);
    deleteNotifyIcon(appState.notifyData);
    appState.clockApplied = nullptr;
}
