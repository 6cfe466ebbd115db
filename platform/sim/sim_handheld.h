#pragma once
// The simulated handheld as tests set it up and inspect it: the processor, the
// message boxes shown (with answers scripted in advance), the error sounds, and
// the memory and power status it reports; and the state of each of its
// services, which their own headers describe.
//
// Every service keeps all of its state in SimHandheld, each part made as on a
// handheld just switched on, so that resetting the handheld resets every
// service at once. Only the processor lies outside: the desktop Windows build
// keeps it in shared memory (sim_processor.h).

#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_dialogs.h"
#include "platform/sim/sim_display.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_graphics.h"
#include "platform/sim/sim_menus.h"
#include "platform/sim/sim_metrics.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_processor.h"
#include "platform/sim/sim_programs.h"
#include "platform/sim/sim_registry_store.h"
#include "platform/sim/sim_restart.h"
#include "platform/sim/sim_single_instance.h"
#include "platform/sim/sim_storage.h"
#include "platform/sim/sim_system_info.h"
#include "platform/sim/sim_windows.h"
#include "platform/system_status.h"

#include <cstdint>

inline constexpr int SIM_MESSAGE_BOX_LOG_CAPACITY = 8;
inline constexpr int SIM_SCRIPTED_ANSWER_CAPACITY = 8;

struct SimMessageBox {
    char16_t text[256]; // cut if longer
    char16_t caption[64];
    std::uint32_t style;
    int answer;
};

// On battery at 87 % and discharging.
inline constexpr PowerStatus SIM_SWITCHED_ON_POWER = {
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

// 64 MB with 23 MB free.
inline constexpr MemoryStatus SIM_SWITCHED_ON_MEMORY = {64, 64u << 20, 23u << 20};

// Each member starts as on a handheld just switched on: as its service's
// switched-on function makes it, or empty.
struct SimHandheld {
    SimMessageBox messageBoxes[SIM_MESSAGE_BOX_LOG_CAPACITY]; // oldest first
    int messageBoxCount;                                      // all shown, also those past the log
    int scriptedAnswers[SIM_SCRIPTED_ANSWER_CAPACITY];
    int scriptedAnswerCount;
    int scriptedAnswersUsed;
    int errorBeeps;
    int informationSounds;
    MemoryStatus memory = SIM_SWITCHED_ON_MEMORY;
    std::uint32_t memoryTakenByOthers; // bytes of it that other programs took, until a restart
    PowerStatus power = SIM_SWITCHED_ON_POWER; // what the battery driver reads now
    // What the last fresh power query or the driver's last poll saw, or the
    // state at switch-on.
    PowerStatus cachedPower = SIM_SWITCHED_ON_POWER;
    bool powerQueryFails;
    int powerQueries;
    std::uintptr_t cccrReservationsMade; // each CCCR window is reserved at an address of its own
    SimProcessorKind processorKind;      // what a restart powers on again
    SimRestarts restarts;

    SimClock clock = simClockSwitchedOn();
    SimWindowing windowing;
    SimDialogs dialogs;
    SimGraphics graphics;
    SimMenus menus;
    SimRegistry registry;
    SimMutexes mutexes;
    SimScreenMetrics screenMetrics = simScreenMetricsSwitchedOn();
    SimFiles files = simFilesSwitchedOn();
    SimFiles factoryFiles = simFilesSwitchedOn(); // what a full reset leaves: the ROM's files
    SimDisplay display = simDisplaySwitchedOn();
    SimPrograms programs = simProgramsSwitchedOn();
    SimProcesses processes = simProcessesSwitchedOn();
    SimStorage storage = simStorageSwitchedOn();
    SimSystemInfo systemInfo = simSystemInfoSwitchedOn();
};

extern SimHandheld simHandheld;

// A handheld just switched on, with the given processor and nothing shown yet:
// 64 MB of memory with 23 MB free, on battery at 87 % and discharging, which
// the system's cached power status holds too.
void resetSimHandheld(SimProcessorKind processor);

// The program's process ends, at its exit or when the device restarts under
// it: the system takes back all that the process still held (its windows with
// their timers and queued messages, its window classes and mutexes, its menus,
// bitmaps, icons, CCCR windows and open handles) and its icon leaves the
// taskbar. The world outside it (registry, files, processes, power, the
// processor's registers, and the faults set up) stays as it is.
void simEndProgramProcess();

// The next message box is answered with `answer`. Without a scripted answer a
// box is closed with its default button: No for the Yes/No boxes, else OK.
void scriptMessageBoxAnswer(int answer);
