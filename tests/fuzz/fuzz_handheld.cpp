#include "tests/fuzz/fuzz_handheld.h"

#include "core/app_state.h"
#include "platform/live_objects.h"
#include "platform/sim/sim_driver.h"
#include "platform/sim/sim_graphics.h"
#include "platform/sim/sim_handheld.h"
#include "platform/windowing.h"
#include "shell/startup.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

void switchOnHandheld(SimProcessorKind processor) {
    appState = AppState{};
    simDriver = SimDriver{};
    resetSimHandheld(processor);
}

SimProcessorKind pickProcessor(FuzzedDataProvider& input) {
    constexpr SimProcessorKind KINDS[] = {SimProcessorKind::Pxa270, SimProcessorKind::Pxa255,
                                          SimProcessorKind::Unrecognised};
    return input.PickValueInArray(KINDS);
}

void startProgram(const char16_t* commandLine, std::uint32_t milliseconds) {
    simAllowTime(milliseconds);
    require(runTavil(FUZZ_MODULE, commandLine) == 0, "the program ended with an exit code not 0");
}

void letProgramRun(std::uint32_t milliseconds) {
    simAllowTime(milliseconds);
    runMessageLoop();
}

WindowHandle mainWindow() {
    return findWindow(u"Tavil", u"Tavil");
}

void endProgramCleanly() {
    simDriver = SimDriver{}; // the end needs no answers from outside
    if (mainWindow() != WindowHandle::None) {
        postMessage(mainWindow(), WM_CLOSE_MESSAGE, 0, 0);
        letProgramRun(0);
    }
    require(mainWindow() == WindowHandle::None, "the main window outlived the exit");
    require(!simNotificationArea.iconPresent, "the tray icon was left in the taskbar");
    const LiveObjectCounts live = livePlatformObjects();
    require(live.cccrWindows == 0, "a CCCR window was not released");
    require(live.registryKeys == 0, "a registry key was not closed");
    require(live.bitmaps == 0, "a bitmap was not deleted");
    require(live.snapshots == 0, "a process snapshot was not closed");
    require(live.processHandles == 0, "a process handle was not closed");
    require(live.menus == 0, "a menu was not destroyed");
    require(live.searches == 0, "a file or storage-card search was not closed");
    const bool iconKept = simIconPixels(appState.notifyData.icon) != nullptr;
    require(live.icons == (iconKept ? 1 : 0), "an icon other than the last one shown is alive");
    require(!simProcessor.kernelMode, "kernel mode was left on");
}

void silenceStandardOutput() {
    const int nowhere = open("/dev/null", O_WRONLY);
    require(nowhere >= 0 && dup2(nowhere, STDOUT_FILENO) >= 0, "/dev/null cannot be opened");
    close(nowhere);
}
