#pragma once
// The simulated handheld as tests set it up and inspect it: the processor, the
// message boxes shown (with answers scripted in advance), the error sounds, and
// the memory and power status it reports.

#include "platform/sim/sim_processor.h"
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

struct SimHandheld {
    SimMessageBox messageBoxes[SIM_MESSAGE_BOX_LOG_CAPACITY]; // oldest first
    int messageBoxCount;                                      // all shown, also those past the log
    int scriptedAnswers[SIM_SCRIPTED_ANSWER_CAPACITY];
    int scriptedAnswerCount;
    int scriptedAnswersUsed;
    int errorBeeps;
    int informationSounds;
    MemoryStatus memory;
    PowerStatus power;       // what the battery driver reads now
    PowerStatus cachedPower; // what the last fresh power query saw, or the state at switch-on
    bool powerQueryFails;
    int powerQueries;
};

extern SimHandheld simHandheld;

// A handheld just switched on, with the given processor and nothing shown yet:
// 64 MB of memory with 23 MB free, on battery at 87 % and discharging, which
// the system's cached power status holds too.
void resetSimHandheld(SimProcessorKind processor);

// The next message box is answered with `answer`. Without a scripted answer a
// box is closed with its default button: No for the Yes/No boxes, else OK.
void scriptMessageBoxAnswer(int answer);
