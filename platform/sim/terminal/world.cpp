#include "platform/sim/terminal/world.h"

#include "core/app_state.h"
#include "platform/dialogs.h"
#include "platform/display_settings.h"
#include "platform/sim/sim_battery.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/terminal/screen_text.h"
#include "shell/startup.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

constexpr std::uint8_t HIGHEST_PERCENT = 100;
constexpr ModuleHandle SECOND_COPY_MODULE = static_cast<ModuleHandle>(2);
constexpr std::intptr_t TAP_MESSAGE = 513; // the left button going down on the icon
constexpr std::uint32_t CCCR_WRITTEN_BY_OTHERS = 0x0108;
constexpr std::uint32_t CCCR_KEPT_BITS = 0xFFFF0000;
constexpr std::uint32_t LOADS[] = {5, 50, 95};
constexpr std::uint32_t MEMORY_TAKEN = 8u << 20;
constexpr std::uint32_t ROTATIONS[] = {ORIENTATION_0, ORIENTATION_90, ORIENTATION_180,
                                       ORIENTATION_270};

bool closeAsked = false;
std::vector<std::uint32_t> startedProcesses; // oldest first

// A new process of the program, with a state record of its own.
int runFreshCopy(ModuleHandle instance, const char16_t* commandLine) {
    appState = AppState{};
    return runTavil(instance, commandLine);
}

} // namespace

void worldWriteCccr(std::uint32_t cccr) {
    simProcessor.cccr = cccr;
    simProcessor.runningCccr = cccr;
}

std::uint32_t worldOthersCccr() {
    return (simProcessor.cccr & CCCR_KEPT_BITS) | CCCR_WRITTEN_BY_OTHERS;
}

void worldSetExternalPower(bool plugged) {
    simSetExternalPower(plugged);
}

void worldSetBatteryPercent(std::uint8_t percent) {
    simHandheld.power.batteryLifePercent = percent < HIGHEST_PERCENT ? percent : HIGHEST_PERCENT;
}

void worldCycleLoad() {
    const auto above = std::upper_bound(std::begin(LOADS), std::end(LOADS), simClock.loadPercent);
    worldSetLoad(above == std::end(LOADS) ? LOADS[0] : *above);
}

void worldSetLoad(std::uint8_t percent) {
    simClock.loadPercent = percent < HIGHEST_PERCENT ? percent : HIGHEST_PERCENT;
}

bool worldMemoryTaken() {
    return simHandheld.memoryTakenByOthers != 0;
}

bool worldTakeOrGiveMemory() {
    MemoryStatus& memory = simHandheld.memory;
    std::uint32_t& taken = simHandheld.memoryTakenByOthers;
    if (taken != 0) {
        memory.availablePhysical += taken;
        taken = 0;
        return true;
    }
    if (memory.availablePhysical < MEMORY_TAKEN) {
        return false;
    }
    memory.availablePhysical -= MEMORY_TAKEN;
    taken = MEMORY_TAKEN;
    return true;
}

std::uint32_t worldStartProcess(const char16_t* exeFile, std::uint32_t threads) {
    const std::uint32_t id = simStartProcess(exeFile, threads);
    if (id != 0) {
        startedProcesses.push_back(id);
    }
    return id;
}

bool worldEndProcess(std::uint32_t processId) {
    return !simIsKernelProcess(processId) && simRemoveProcess(processId);
}

bool worldEndLastStarted() {
    while (!startedProcesses.empty()) {
        const std::uint32_t last = startedProcesses.back();
        startedProcesses.pop_back();
        if (worldEndProcess(last)) {
            return true;
        }
    }
    return false;
}

void worldRotateScreen(std::uint32_t orientation) {
    simTurnScreen(orientation);
}

void worldRotateOnward() {
    const auto now = std::find(std::begin(ROTATIONS), std::end(ROTATIONS), simDisplay.orientation);
    const std::size_t next =
        (static_cast<std::size_t>(now - std::begin(ROTATIONS)) + 1) % std::size(ROTATIONS);
    simTurnScreen(ROTATIONS[next]);
}

// The copy is another process of the handheld, with a state record of its own:
// it starts from a fresh one and leaves the running copy's as it was.
int worldStartSecondCopy(const char16_t* commandLine) {
    const AppState running = appState;
    appState = AppState{};
    const int exitCode = runTavil(SECOND_COPY_MODULE, commandLine);
    appState = running;
    return exitCode;
}

bool worldTapIcon() {
    return simNotificationArea.iconPresent &&
           postMessage(simNotificationArea.window, simNotificationArea.callbackMessage,
                       simNotificationArea.id, TAP_MESSAGE);
}

void worldStartRun() {
    closeAsked = false;
    startedProcesses.clear();
    simProgramMain = runFreshCopy;
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
