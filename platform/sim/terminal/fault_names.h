#pragma once
// The processor faults that --fault and the script's `world fault` plant, by
// the names the trace writes them with (trace.h).

#include "platform/sim/sim_processor.h"

#include <string>

struct FaultName {
    const char* name;
    bool SimProcessorFaults::*flag;
};

inline constexpr FaultName FAULT_NAMES[] = {
    {"read-main-id", &SimProcessorFaults::readMainId},
    {"read-cache-type", &SimProcessorFaults::readCacheType},
    {"read-cclkcfg", &SimProcessorFaults::readCclkcfg},
    {"write-cclkcfg", &SimProcessorFaults::writeCclkcfg},
    {"store-cccr", &SimProcessorFaults::storeCccr},
    {"load-cccr", &SimProcessorFaults::loadCccr},
    {"copy-cccr-page", &SimProcessorFaults::copyCccrPage},
    {"kernel-mode-refused", &SimProcessorFaults::kernelModeRefused},
};

// The countdown's name: the N-th register access from now faults.
inline constexpr const char* ACCESS_FAULT = "access";

// Sets the flag that `name` names in `faults`, or for ACCESS_FAULT the
// countdown to `accesses`; false, with nothing set, when `name` names none of
// them or the countdown is below 1.
bool plantFault(const std::string& name, int accesses, SimProcessorFaults& faults);

// The N of a countdown: a decimal number (plantFault takes 1 or more); false
// when the text is none.
bool readAccessCount(const std::string& text, int& accesses);
