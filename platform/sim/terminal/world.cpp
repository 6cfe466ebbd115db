#include "platform/sim/terminal/world.h"

#include "core/app_state.h"
#include "platform/dialogs.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/terminal/screen_text.h"
#include "shell/startup.h"

namespace {

constexpr std::uint8_t ON_BATTERY = 0;
constexpr std::uint8_t ON_MAINS = 1;
constexpr std::uint8_t HIGHEST_PERCENT = 100;
constexpr std::uint32_t FIRST_STARTED_PROCESS_ID = 0x5000;
constexpr ModuleHandle SECOND_COPY_MODULE = static_cast<ModuleHandle>(2);
constexpr std::intptr_t TAP_MESSAGE = 513; // the left button going down on the icon

bool closeAsked = false;

} // namespace

void worldWriteCccr(std::uint32_t cccr) {
    simProcessor.cccr = cccr;
    simProcessor.runningCccr = cccr;
}

void worldSetExternalPower(bool plugged) {
    simHandheld.power.acLineStatus = plugged ? ON_MAINS : ON_BATTERY;
}

void worldSetBatteryPercent(std::uint8_t percent) {
    simHandheld.power.batteryLifePercent = percent < HIGHEST_PERCENT ? percent : HIGHEST_PERCENT;
}

std::uint32_t worldStartProcess(const char16_t* exeFile, std::uint32_t threads) {
    for (std::uint32_t id = FIRST_STARTED_PROCESS_ID; id < FIRST_STARTED_PROCESS_ID + 0x1000;
         id += 4) {
        if (simProcessWithId(id) == nullptr) {
            return simAddProcess(id, threads, exeFile) ? id : 0;
        }
    }
    return 0;
}

bool worldEndProcess(std::uint32_t processId) {
    return simRemoveProcess(processId);
}

void worldRotateScreen(std::uint32_t orientation) {
    simTurnScreen(orientation);
}

// The copy is another process of the handheld, with a state record of its own:
// it starts from a fresh one and leaves the running copy's as it was.
void worldStartSecondCopy(const char16_t* commandLine) {
    const AppState running = appState;
    appState = AppState{};
    runTavil(SECOND_COPY_MODULE, commandLine);
    appState = running;
}

bool worldTapIcon() {
    return simNotificationArea.iconPresent &&
           postMessage(simNotificationArea.window, simNotificationArea.callbackMessage,
                       simNotificationArea.id, TAP_MESSAGE);
}

void worldStartRun() {
    closeAsked = false;
}

void worldCloseProgram() {
    if (closeAsked || !simNotificationArea.iconPresent ||
        !postMessage(simNotificationArea.window, WM_CLOSE_MESSAGE, 0, 0)) {
        postQuitMessage(0);
    }
    closeAsked = true;
}

bool worldPressDialogOk() {
    const std::vector<DialogView> dialogs = openDialogViews();
    return !dialogs.empty() && postMessage(dialogs.back().window, WM_COMMAND_MESSAGE, DIALOG_OK, 0);
}
