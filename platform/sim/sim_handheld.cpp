#include "platform/sim/sim_handheld.h"

SimHandheld simHandheld;

void resetSimHandheld(SimProcessorKind processor) {
    simHandheld = SimHandheld{};
    simHandheld.processorKind = processor;
    resetSimProcessor(processor);
}

void simEndProgramProcess() {
    const bool mutexCreationFails = simHandheld.mutexes.creationFails;
    const SimWindowingFaults windowingFaults = simHandheld.windowing.faults;
    simHandheld.windowing = SimWindowing{};
    simHandheld.windowing.faults = windowingFaults;
    simHandheld.mutexes = SimMutexes{};
    simHandheld.mutexes.creationFails = mutexCreationFails;
    simHandheld.menus.menus.clear();
    simHandheld.menus.tracking.tracking = false;
    for (SimBitmap& bitmap : simHandheld.graphics.bitmaps) {
        bitmap.live = false;
    }
    for (SimIcon& icon : simHandheld.graphics.icons) {
        icon.live = false;
    }
    simHandheld.graphics.notificationArea.iconPresent = false;
    simHandheld.registry.handles.clear();
    simHandheld.processes.handles.snapshots.clear();
    simHandheld.processes.handles.processes.clear();
    simHandheld.storage.searchMatchesLeft.clear();
    for (SimCccrWindowSlot& window : simProcessor.windows) {
        window = SimCccrWindowSlot{};
    }
    simProcessor.kernelMode = false;
}

void scriptMessageBoxAnswer(int answer) {
    if (simHandheld.scriptedAnswerCount < SIM_SCRIPTED_ANSWER_CAPACITY) {
        simHandheld.scriptedAnswers[simHandheld.scriptedAnswerCount++] = answer;
    }
}
