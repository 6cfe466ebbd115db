#include "platform/sim/sim_handheld.h"

SimHandheld simHandheld;

void resetSimHandheld(SimProcessorKind processor) {
    simHandheld = SimHandheld{};
    resetSimProcessor(processor);
}

void scriptMessageBoxAnswer(int answer) {
    if (simHandheld.scriptedAnswerCount < SIM_SCRIPTED_ANSWER_CAPACITY) {
        simHandheld.scriptedAnswers[simHandheld.scriptedAnswerCount++] = answer;
    }
}
