#include "platform/sim/sim_handheld.h"

#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_dialogs.h"
#include "platform/sim/sim_display.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_graphics.h"
#include "platform/sim/sim_menus.h"
#include "platform/sim/sim_metrics.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_programs.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_single_instance.h"
#include "platform/sim/sim_storage.h"
#include "platform/sim/sim_system_info.h"
#include "platform/sim/sim_windows.h"

namespace {

constexpr std::uint32_t MEGABYTE = 1u << 20;
constexpr MemoryStatus SWITCHED_ON_MEMORY = {64, 64 * MEGABYTE, 23 * MEGABYTE};
constexpr PowerStatus SWITCHED_ON_POWER = {
    0,    // on battery
    1,    // main battery high
    87,   // percent
    1,    // backup battery high
    100,  // percent
    3950, // mV
    -210, // mA: discharging
    312,  // 31.2 degrees Celsius
    3100, // backup mV
    4,    // lithium-ion
};

SimHandheld switchedOn() {
    SimHandheld handheld{};
    handheld.memory = SWITCHED_ON_MEMORY;
    handheld.power = SWITCHED_ON_POWER;
    handheld.cachedPower = SWITCHED_ON_POWER;
    return handheld;
}

} // namespace

SimHandheld simHandheld = switchedOn();

void resetSimHandheld(SimProcessorKind processor) {
    simHandheld = switchedOn();
    resetSimProcessor(processor);
    resetSimClock();
    resetSimWindowing();
    resetSimDialogs();
    resetSimGraphics();
    resetSimMenus();
    resetSimRegistry();
    resetSimMutexes();
    resetSimMetrics();
    resetSimFiles();
    resetSimDisplay();
    resetSimPrograms();
    resetSimProcesses();
    resetSimStorage();
    resetSimSystemInfo();
}

void scriptMessageBoxAnswer(int answer) {
    if (simHandheld.scriptedAnswerCount < SIM_SCRIPTED_ANSWER_CAPACITY) {
        simHandheld.scriptedAnswers[simHandheld.scriptedAnswerCount++] = answer;
    }
}
