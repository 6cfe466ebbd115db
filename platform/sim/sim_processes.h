#pragma once
// The processes running on the simulated handheld, as tests set them up and
// inspect them: a table in the order a snapshot lists them, a fault that makes
// snapshots fail, and a log of the processes ended through a process handle.
// A snapshot copies the table when it is taken, so later changes do not show
// in it. Handles are numbers handed out in turn, never reused until the
// handheld is reset. A process handle stands for the process id it opened: it
// stays open after that process has ended, and ends a process only while one
// with that id runs; the kernel (nk.exe) refuses to be ended, as on the device.

#include "platform/processes.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

inline constexpr int SIM_PROCESS_CAPACITY = 128;
inline constexpr int SIM_TERMINATION_LOG_CAPACITY = 8;

struct SimTermination {
    std::uint32_t processId;
    std::uint32_t exitCode;
};

struct SimSnapshot {
    std::vector<ProcessEntry> processes;
    std::size_t next; // the entry that nextProcess hands out
};

struct SimProcessHandles {
    std::map<std::uintptr_t, SimSnapshot> snapshots;
    std::map<std::uintptr_t, std::uint32_t> processes; // the id that each handle opened
    std::uintptr_t lastHandle;
};

struct SimProcesses {
    ProcessEntry processes[SIM_PROCESS_CAPACITY]; // in the order snapshots list them
    int count;
    bool snapshotFails;                                        // takeProcessSnapshot gives None
    SimTermination terminations[SIM_TERMINATION_LOG_CAPACITY]; // oldest first
    int terminationCount;                                      // all, also those past the log
    SimProcessHandles handles;
};

extern SimProcesses& simProcesses; // simHandheld.processes

// The processes of a Pocket PC just switched on (the kernel, the system
// servers, the shell, Tavil.exe and two applications); no open handles, no
// fault, nothing ended.
SimProcesses simProcessesSwitchedOn();

// Adds a process after the others; false and nothing added when a process
// with that id runs already, the name is missing, empty or does not fit in
// PROCESS_NAME_CAPACITY, or SIM_PROCESS_CAPACITY processes run.
bool simAddProcess(std::uint32_t processId, std::uint32_t threadCount, const char16_t* exeFile);

// Ends the process without an entry in the log; false when none has that id.
bool simRemoveProcess(std::uint32_t processId);

// No process runs any more; open handles stay open.
void simClearProcesses();

// Only the system's own processes run, as the system starts them at every
// start (the kernel, the system servers and the shell); open handles stay open.
void simRestartSystemProcesses();

// Whether the system starts this process again at every start (its id is
// that of one of the system's own processes).
bool simStartedBySystem(const ProcessEntry& process);

// Starts a process after the others with an id of its own (from 0x5000 up);
// the id, or 0 when none can start (as simAddProcess refuses).
std::uint32_t simStartProcess(const char16_t* exeFile, std::uint32_t threadCount);

// The first running process with that file name (ASCII letters folded, as the
// device compares file names); nullptr when there is none.
const ProcessEntry* simProcessNamed(const char16_t* exeFile);

// Whether the process with that id is the kernel, nk.exe.
bool simIsKernelProcess(std::uint32_t processId);

// The running process with that id; nullptr when there is none.
const ProcessEntry* simProcessWithId(std::uint32_t processId);

int simLiveSnapshots();
int simLiveProcessHandles();
