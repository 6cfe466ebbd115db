#include "tests/support/tray_icon_spy.h"

#include "shell/app_state.h"
#include "trayicon/icon_renderer.h"

TrayIconSpy trayIconSpy;

void refreshTrayIcon() {
    ++trayIconSpy.refreshes;
    trayIconSpy.cccrAtLastRefresh = appState.currentCccr;
}
