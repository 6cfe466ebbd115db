#include "trayicon/tray_icon.h"

#include "platform/graphics.h"
#include "platform/notification_icon.h"
#include "shell/app_state.h"
#include "trayicon/icon_renderer.h"

namespace {

void identify(WindowHandle window) {
    appState.notifyData.size = NOTIFY_ICON_RECORD_SIZE;
    appState.notifyData.window = window;
    appState.notifyData.id = TRAY_ICON_ID;
}

} // namespace

void addTrayIcon(WindowHandle window) {
    identify(window);
    // A clock preset applied at start-up may have drawn a reading already: that
    // icon is replaced here, and the reading drawn again over the application icon.
    const IconHandle drawnBefore = appState.notifyData.icon;
    appState.notifyData.icon = loadApplicationIcon(appState.instance, trayIconSize());
    appState.notifyData.flags = NOTIFY_FLAG_MESSAGE | NOTIFY_FLAG_ICON | NOTIFY_FLAG_TIP;
    appState.notifyData.callbackMessage = MSG_TRAY_CALLBACK;
    addNotifyIcon(appState.notifyData);
    destroyIcon(drawnBefore);
    if (appState.clockFamily != ClockFamily::None) {
        forceIconRedraw();
        refreshTrayIcon();
    }
}

void removeTrayIcon(WindowHandle window) {
    identify(window);
    deleteNotifyIcon(appState.notifyData);
}
