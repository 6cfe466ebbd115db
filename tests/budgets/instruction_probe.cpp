// Runs each operation whose cost is budgeted, on the simulated handheld, under
// callgrind (scripts/measure-instructions.sh starts it so, with collection off).
// Each operation is run a few times to warm up, then `repetitions` times with
// collection on around the operation alone; the counts are then written out
// under the name "<operation> <repetitions>" and the script divides.
// Run without callgrind it does the same work and measures nothing.

#include "core/app_state.h"
#include "platform/processes.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_processes.h"
#include "platform/windowing.h"
#include "shell/main_window.h"
#include "shell/popup_menu.h"
#include "shell/startup.h"
#include "trayicon/icon_bitmaps.h"
#include "trayicon/icon_renderer.h"
#include "trayicon/reading_icon.h"

#include <valgrind/callgrind.h>

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>

namespace {

constexpr int WARM_UP_RUNS = 3;
constexpr ModuleHandle MODULE = static_cast<ModuleHandle>(1); // as the simulated handheld's main
constexpr int MENU_PROCESSES = 30;
constexpr std::uint32_t TICK_MS = REFRESH_PERIOD_MS;

// One of each kind of picture: one, two and three digits, narrow ones, a
// reading with bars, negative readings.
constexpr std::int32_t READINGS[] = {7, 42, 100, 624, 1234, -210, 87, 11, -5, 99999};

IconBitmapBits encoded;

template <typename SetUp, typename Operation>
void runCounted(int runs, SetUp setUp, Operation operation) {
    for (int run = 0; run < runs; ++run) {
        setUp(run);
        CALLGRIND_TOGGLE_COLLECT;
        operation(run);
        CALLGRIND_TOGGLE_COLLECT;
    }
}

// Runs setUp (not counted) then operation (counted), warming up first. The
// warm-up is counted and written out on its own: that also clears callgrind's
// call counts, which go on counting while collection is off.
template <typename SetUp, typename Operation>
void measure(const char* name, int repetitions, SetUp setUp, Operation operation) {
    runCounted(WARM_UP_RUNS, setUp, operation);
    CALLGRIND_DUMP_STATS_AT("warm-up");
    runCounted(repetitions, setUp, operation);
    const std::string dumpName = std::string(name) + " " + std::to_string(repetitions);
    CALLGRIND_DUMP_STATS_AT(dumpName.c_str());
}

void composeAndEncode(int size, int run) {
    const IconImage image = composeReadingIcon(READINGS[run % std::size(READINGS)], 11, 12, size);
    encodeIconBitmaps(image, encoded);
}

WindowHandle mainWindow() {
    return findWindow(u"Tavil", u"Tavil");
}

// Ends the running program as its exit command does.
void endProgram() {
    if (mainWindow() != WindowHandle::None) {
        postMessage(mainWindow(), WM_CLOSE_MESSAGE, 0, 0);
        simAllowTime(0);
        runMessageLoop();
    }
}

// A PXA270 handheld just switched on, the program not yet started.
void switchOn() {
    endProgram();
    appState = AppState{};
    resetSimHandheld(SimProcessorKind::Pxa270);
    simAllowTime(0); // start-up returns once the program waits for its first tick
}

void startProgram() {
    runTavil(MODULE, u"");
}

WindowHandle window = WindowHandle::None;

// The program running with its icon showing the processor load.
void startShowingLoad() {
    switchOn();
    startProgram();
    window = mainWindow();
    appState.iconView = static_cast<std::uint32_t>(IconView::Load);
    forceIconRedraw();
}

void tick() {
    mainWindowProc(window, WM_TIMER_MESSAGE, REFRESH_TIMER_ID, 0);
}

// A second of the handheld's time; busyPercent decides the load the next tick reads.
void passSecond(std::uint32_t busyPercent) {
    simClock.loadPercent = busyPercent;
    simAdvanceClock(TICK_MS);
}

// The switched-on processes and more, MENU_PROCESSES in all.
void runMenuProcesses() {
    for (std::uint32_t id = 0x5000; simProcesses.count < MENU_PROCESSES; ++id) {
        simAddProcess(id, 2 + id % 5, u"program.exe");
    }
}

std::uint32_t* heldBlock = nullptr;

// Checks of the script's bookkeeping: one heap allocation a run in our code
// outside the simulated handheld, and a run spent inside it, where the heap is
// used and none of it is the program's.
void measureChecks() {
    measure(
        "check-program-allocation", 100, [](int) {},
        [](int run) {
            delete heldBlock;
            heldBlock = new std::uint32_t(static_cast<std::uint32_t>(run));
        });
    measure(
        "check-platform-only", 100, [](int) {},
        [](int) { closeProcessSnapshot(takeProcessSnapshot()); });
    delete heldBlock;
}

} // namespace

int main() {
    measureChecks();

    measure(
        "compose-16", 2000, [](int) {}, [](int run) { composeAndEncode(SMALL_ICON_SIZE, run); });
    measure(
        "compose-32", 2000, [](int) {}, [](int run) { composeAndEncode(LARGE_ICON_SIZE, run); });

    startShowingLoad();
    measure(
        "idle-tick", 2000, [](int) { passSecond(20); }, [](int) { tick(); });
    // The load goes from one reading to another, so every tick draws.
    measure(
        "redraw-tick", 1000, [](int) { passSecond(appState.cpuLoad == 30 ? 20 : 30); },
        [](int) { tick(); });

    runMenuProcesses();
    measure(
        "menu", 50, [](int) {}, [](int) { showPopupMenu(window); });

    measure(
        "startup", 50, [](int) { switchOn(); }, [](int) { startProgram(); });
    endProgram();

    std::puts(RUNNING_ON_VALGRIND ? "measured" : "not measured: run under callgrind");
    return 0;
}
