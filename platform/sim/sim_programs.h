#pragma once
// The simulated handheld's programs, shortcuts and clean-restart mark, as tests
// set them up and inspect them. The handheld starts only the programs it has,
// named as the program names them (names compare exactly); switched on, it has
// the help viewer peghelp.exe, as every Pocket PC has. A program started runs
// as a process of its own, a second start of one that runs reuses it. A shortcut is a file of
// the simulated file system; the last one made is kept here with its target.

#include "platform/sim/sim_files.h"
#include "platform/sim/sim_path_table.h"

#include <string>

inline constexpr int SIM_PROGRAM_CAPACITY = 8;
inline constexpr int SIM_COMMAND_LINE_CAPACITY = 260; // a longer command line starts nothing

struct SimPrograms {
    SimPathTable<SIM_PROGRAM_CAPACITY> installed;   // the programs it has
    char16_t startedApplication[SIM_PATH_CAPACITY]; // the last program started
    char16_t startedCommandLine[SIM_COMMAND_LINE_CAPACITY];
    int programsStarted;
    char16_t shortcutPath[SIM_PATH_CAPACITY]; // the last shortcut made
    char16_t shortcutTarget[SIM_PATH_CAPACITY];
    int shortcutsMade;
    bool nextRestartClean;
    int restartsBeforeCleanMark; // simDisplay.restarts when the mark was set
};

extern SimPrograms& simPrograms; // simHandheld.programs

// The help viewer and nothing started, made or marked.
SimPrograms simProgramsSwitchedOn();

// Gives the handheld the program; true when it has it afterwards. No name, an
// empty one, one that does not fit in SIM_PATH_CAPACITY, or a full table adds nothing.
bool simInstallProgram(const char16_t* name);

// False when the handheld had no such program.
bool simRemoveProgram(const char16_t* name);

// What the help viewer shows while its process runs and it is the last program
// started, with "file:NAME#ANCHOR": the help file that the installation copies
// into \Windows, as it lies in the source tree ("resources/NAME#ANCHOR");
// otherwise empty.
std::u16string simHelpViewerPage();
