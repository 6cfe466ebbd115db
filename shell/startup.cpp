#include "shell/startup.h"

#include "clock/clock_config.h"
#include "clock/processor_detection.h"
#include "core/app_state.h"
#include "core/program_name.h"
#include "core/settings_store.h"
#include "core/text.h"
#include "device/screen_modes.h"
#include "device/screen_rotation.h"
#include "platform/files.h"
#include "platform/single_instance.h"
#include "platform/system_metrics.h"
#include "platform/windowing.h"
#include "shell/main_window.h"
#include "shell/preset_argument.h"

namespace {

constexpr const char16_t* AUTOSTART_SHORTCUT = u"\\Tavil.lnk";
constexpr std::uint32_t CLASS_STYLE_REDRAW = 3;
constexpr std::uintptr_t BUTTON_FACE_BRUSH = 0x40000011; // system colour 17
constexpr int SCALED_SMALL_ICON_WIDTH = 32;
constexpr std::uint32_t IDLE_COUNTER_NOT_KEPT = 0xFFFFFFFF;

// True when another copy runs: it gets the request and this copy ends.
bool handOverToRunningCopy(int preset) {
    if (createNamedMutex(PROGRAM_NAME).lastError != ERROR_MUTEX_ALREADY_EXISTS) {
        return false;
    }
    const WindowHandle running = findWindow(PROGRAM_NAME, PROGRAM_NAME);
    if (running != WindowHandle::None) {
        if (preset >= 0) {
            postMessage(running, MSG_APPLY_PRESET, 0, preset);
        } else {
            postMessage(running, MSG_SHOW_MENU, 0, 0);
        }
    }
    return true;
}

void probeAutostart() {
    specialFolderPath(FOLDER_STARTUP, appState.pathBuffer, PATH_BUFFER_LENGTH);
    if (!appendText(appState.pathBuffer, PATH_BUFFER_LENGTH, AUTOSTART_SHORTCUT)) {
        appState.pathBuffer[0] = u'\0'; // no shortcut path: autostart is never found
        return;
    }
    if (fileExists(appState.pathBuffer)) {
        appState.autostartEnabled = 1;
    }
}

void probeIconScale() {
    if (systemMetric(METRIC_SMALL_ICON_WIDTH) == SCALED_SMALL_ICON_WIDTH) {
        appState.iconScale = 2;
    }
}

void probeIdleCounter() {
    appState.lastIdleTime = idleTime();
    if (appState.lastIdleTime == 0 || appState.lastIdleTime == IDLE_COUNTER_NOT_KEPT) {
        appState.loadAvailable = 0;
    }
}

bool createMainWindow(ModuleHandle instance) {
    registerWindowClass(WindowClassRecord{CLASS_STYLE_REDRAW, mainWindowProc, instance,
                                          BUTTON_FACE_BRUSH, PROGRAM_NAME});
    return createWindow(PROGRAM_NAME, PROGRAM_NAME, 0, instance) != WindowHandle::None;
}

} // namespace

int runTavil(ModuleHandle instance, const char16_t* commandLine) {
    appState.instance = instance;
    const int preset = parsePresetIndex(commandLine);
    if (handOverToRunningCopy(preset)) {
        return 0;
    }
    const std::uint32_t startupCclkcfg = detectProcessor();
    probeAutostart();
    loadSettings();
    readClockState(startupCclkcfg, preset >= 0);
    if (preset >= 0) {
        applyStartupPreset(preset);
    }
    if (appState.clockFamily == ClockFamily::None) {
        appState.iconView = static_cast<std::uint32_t>(IconView::Normal); // for this run only
    }
    if (queryRotationSupport()) {
        appState.rotationSupported = 1;
    }
    probeIconScale();
    probeScreenMode();
    probeIdleCounter();
    if (!createMainWindow(instance)) {
        return 0; // without its window nothing could reach the program or end it
    }
    runMessageLoop();
    return 0;
}

void runMessageLoop() {
    WindowMessage message{};
    while (getMessage(message)) {
        translateMessage(message);
        dispatchMessage(message);
    }
}
