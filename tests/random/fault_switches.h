#pragma once
// The faults that the simulated handheld can be told to make, one row each, so
// that the random runs switch them on and off. A new fault of the handheld
// gets its row here and nothing else.

#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_registry.h"

struct FaultSwitch {
    const char* name;
    void (*set)(bool on);
};

inline constexpr FaultSwitch FAULT_SWITCHES[] = {
    {"processor.readMainId", [](bool on) { simProcessor.faults.readMainId = on; }},
    {"processor.readCacheType", [](bool on) { simProcessor.faults.readCacheType = on; }},
    {"processor.readCclkcfg", [](bool on) { simProcessor.faults.readCclkcfg = on; }},
    {"processor.writeCclkcfg", [](bool on) { simProcessor.faults.writeCclkcfg = on; }},
    {"processor.storeCccr", [](bool on) { simProcessor.faults.storeCccr = on; }},
    {"processor.copyCccrPage", [](bool on) { simProcessor.faults.copyCccrPage = on; }},
    {"processor.loadCccr", [](bool on) { simProcessor.faults.loadCccr = on; }},
    {"processor.kernelModeRefused", [](bool on) { simProcessor.faults.kernelModeRefused = on; }},
    // On: a fault on the third register access from now, wherever it falls.
    {"processor.accessesBeforeFault",
     [](bool on) { simProcessor.faults.accessesBeforeFault = on ? 3 : 0; }},
    {"windowing.timerCreationFails", [](bool on) { simWindowing.faults.timerCreationFails = on; }},
    {"windowing.windowCreationFails",
     [](bool on) { simWindowing.faults.windowCreationFails = on; }},
    {"notificationArea.addFails", [](bool on) { simNotificationArea.addFails = on; }},
    {"notificationArea.modifyFails", [](bool on) { simNotificationArea.modifyFails = on; }},
    {"graphics.bitmapCreationFails",
     [](bool on) { simHandheld.graphics.bitmapCreationFails = on; }},
    {"graphics.iconCreationFails", [](bool on) { simHandheld.graphics.iconCreationFails = on; }},
    // On: the graphics heap holds no more than the icon shown and one object.
    {"graphics.liveObjectLimit",
     [](bool on) { simHandheld.graphics.liveObjectLimit = on ? 2 : 0; }},
    {"dialogs.creationFails", [](bool on) { simDialogs.creationFails = on; }},
    {"processes.snapshotFails", [](bool on) { simProcesses.snapshotFails = on; }},
    {"power.queryFails", [](bool on) { simHandheld.powerQueryFails = on; }},
    {"storage.storeQueryFails", [](bool on) { simStorage.storeQueryFails = on; }},
    {"systemInfo.processorQueryFails", [](bool on) { simSystemInfo.processorQueryFails = on; }},
    {"mutexes.creationFails", [](bool on) { simMutexes.creationFails = on; }},
    {"registry.createKey", [](bool on) { simRegistryFaults.createKey = on; }},
    {"registry.setValue", [](bool on) { simRegistryFaults.setValue = on; }},
    {"display.requestsFail", [](bool on) { simDisplay.requestsFail = on; }},
    {"clock.idleCounterNotKept", [](bool on) { simClock.idleCounterKept = !on; }},
};

inline constexpr int FAULT_SWITCH_COUNT = sizeof FAULT_SWITCHES / sizeof FAULT_SWITCHES[0];
