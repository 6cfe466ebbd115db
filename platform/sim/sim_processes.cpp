#include "platform/sim/sim_processes.h"

#include "platform/sim/name_compare.h"
#include "platform/sim/sim_handheld.h"
#include "platform/whole_text.h"

#include <algorithm>
#include <iterator>

namespace {

struct RunningProcess {
    std::uint32_t processId;
    std::uint32_t threadCount;
    const char16_t* exeFile;
    bool system; // started by the system itself at every start
};

// Process ids on the device are the values of the processes' kernel handles.
constexpr RunningProcess SWITCHED_ON_PROCESSES[] = {
    {0x03FE3002, 7, u"nk.exe", true},      {0x23F58CBA, 12, u"filesys.exe", true},
    {0x43A1D7C6, 28, u"device.exe", true}, {0x63C8A2DA, 16, u"gwes.exe", true},
    {0x83B26F8E, 8, u"shell32.exe", true}, {0xA3D4E1F2, 10, u"services.exe", true},
    {0xC3F0A51E, 5, u"connmgr.exe", true}, {0x0396B2A6, 1, u"Tavil.exe", false},
    {0x23A7C352, 4, u"tmail.exe", false},  {0x43E5B07A, 2, u"poutlook.exe", false},
};

constexpr const char16_t* KERNEL = u"nk.exe";
constexpr std::uint32_t FIRST_STARTED_PROCESS_ID = 0x5000;
constexpr std::uint32_t STARTED_PROCESS_IDS = 0x1000;
constexpr std::uint32_t PROCESS_ID_STEP = 4; // kernel handles are multiples of 4

SimProcessHandles& handles = simHandheld.processes.handles;

bool append(SimProcesses& table, std::uint32_t processId, std::uint32_t threadCount,
            const char16_t* exeFile) {
    if (table.count == SIM_PROCESS_CAPACITY || exeFile == nullptr || exeFile[0] == u'\0') {
        return false;
    }
    ProcessEntry& entry = table.processes[table.count];
    if (!copyWholeText(exeFile, entry.exeFile, PROCESS_NAME_CAPACITY)) {
        return false;
    }
    entry.processId = processId;
    entry.threadCount = threadCount;
    ++table.count;
    return true;
}

int indexOf(std::uint32_t processId) {
    for (int i = 0; i < simProcesses.count; ++i) {
        if (simProcesses.processes[i].processId == processId) {
            return i;
        }
    }
    return -1;
}

// Removes the process at `index`, keeping the others in their order.
void removeAt(int index) {
    ProcessEntry* const table = simProcesses.processes;
    std::copy(table + index + 1, table + simProcesses.count, table + index);
    --simProcesses.count;
}

void logTermination(std::uint32_t processId, std::uint32_t exitCode) {
    if (simProcesses.terminationCount < SIM_TERMINATION_LOG_CAPACITY) {
        simProcesses.terminations[simProcesses.terminationCount] = {processId, exitCode};
    }
    ++simProcesses.terminationCount;
}

SimSnapshot* snapshotOf(SnapshotHandle snapshot) {
    const auto found = handles.snapshots.find(static_cast<std::uintptr_t>(snapshot));
    return found == handles.snapshots.end() ? nullptr : &found->second;
}

} // namespace

SimProcesses& simProcesses = simHandheld.processes;

SimProcesses simProcessesSwitchedOn() {
    SimProcesses table{};
    for (const RunningProcess& process : SWITCHED_ON_PROCESSES) {
        append(table, process.processId, process.threadCount, process.exeFile);
    }
    return table;
}

bool simAddProcess(std::uint32_t processId, std::uint32_t threadCount, const char16_t* exeFile) {
    return indexOf(processId) < 0 && append(simProcesses, processId, threadCount, exeFile);
}

bool simRemoveProcess(std::uint32_t processId) {
    const int index = indexOf(processId);
    if (index < 0) {
        return false;
    }
    removeAt(index);
    return true;
}

void simClearProcesses() {
    simProcesses.count = 0;
}

void simRestartSystemProcesses() {
    simClearProcesses();
    for (const RunningProcess& process : SWITCHED_ON_PROCESSES) {
        if (process.system) {
            append(simProcesses, process.processId, process.threadCount, process.exeFile);
        }
    }
}

bool simStartedBySystem(const ProcessEntry& process) {
    return std::any_of(std::begin(SWITCHED_ON_PROCESSES), std::end(SWITCHED_ON_PROCESSES),
                       [&](const RunningProcess& known) {
                           return known.system && known.processId == process.processId;
                       });
}

std::uint32_t simStartProcess(const char16_t* exeFile, std::uint32_t threadCount) {
    for (std::uint32_t id = FIRST_STARTED_PROCESS_ID;
         id < FIRST_STARTED_PROCESS_ID + STARTED_PROCESS_IDS; id += PROCESS_ID_STEP) {
        if (indexOf(id) < 0) {
            return append(simProcesses, id, threadCount, exeFile) ? id : 0;
        }
    }
    return 0;
}

const ProcessEntry* simProcessNamed(const char16_t* exeFile) {
    for (int i = 0; i < simProcesses.count; ++i) {
        if (samePath(simProcesses.processes[i].exeFile, exeFile)) {
            return &simProcesses.processes[i];
        }
    }
    return nullptr;
}

bool simIsKernelProcess(std::uint32_t processId) {
    const ProcessEntry* const process = simProcessWithId(processId);
    return process != nullptr && samePath(process->exeFile, KERNEL);
}

const ProcessEntry* simProcessWithId(std::uint32_t processId) {
    const int index = indexOf(processId);
    return index < 0 ? nullptr : &simProcesses.processes[index];
}

int simLiveSnapshots() {
    return static_cast<int>(handles.snapshots.size());
}

int simLiveProcessHandles() {
    return static_cast<int>(handles.processes.size());
}

SnapshotHandle takeProcessSnapshot() {
    if (simProcesses.snapshotFails) {
        return SnapshotHandle::None;
    }
    const ProcessEntry* const table = simProcesses.processes;
    const std::uintptr_t handle = ++handles.lastHandle;
    handles.snapshots[handle] = SimSnapshot{{table, table + simProcesses.count}, 0};
    return static_cast<SnapshotHandle>(handle);
}

bool firstProcess(SnapshotHandle snapshot, ProcessEntry& entry) {
    SimSnapshot* const taken = snapshotOf(snapshot);
    if (taken == nullptr) {
        return false;
    }
    taken->next = 0;
    return nextProcess(snapshot, entry);
}

bool nextProcess(SnapshotHandle snapshot, ProcessEntry& entry) {
    SimSnapshot* const taken = snapshotOf(snapshot);
    if (taken == nullptr || taken->next == taken->processes.size()) {
        return false;
    }
    entry = taken->processes[taken->next++];
    return true;
}

void closeProcessSnapshot(SnapshotHandle snapshot) {
    handles.snapshots.erase(static_cast<std::uintptr_t>(snapshot));
}

ProcessHandle openProcess(std::uint32_t processId) {
    if (indexOf(processId) < 0) {
        return ProcessHandle::None;
    }
    const std::uintptr_t handle = ++handles.lastHandle;
    handles.processes[handle] = processId;
    return static_cast<ProcessHandle>(handle);
}

bool terminateProcess(ProcessHandle process, std::uint32_t exitCode) {
    const auto opened = handles.processes.find(static_cast<std::uintptr_t>(process));
    const int index = opened == handles.processes.end() ? -1 : indexOf(opened->second);
    if (index < 0 || simIsKernelProcess(opened->second)) {
        return false;
    }
    removeAt(index);
    logTermination(opened->second, exitCode);
    return true;
}

void closeProcessHandle(ProcessHandle process) {
    handles.processes.erase(static_cast<std::uintptr_t>(process));
}
