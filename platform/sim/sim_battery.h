#pragma once
// The simulated handheld's main battery as its time passes: on battery it
// loses one percent a minute at the current the status reports; on external
// power it charges one percent a minute until full. Its state flag follows
// the charge. A battery that is absent (flag 128) or whose charge is not
// reported (above 100) stays as it is.

#include <cstdint>

// Steps the battery over the whole minutes between two clock readings (ms).
void simStepBattery(std::uint64_t fromMs, std::uint64_t toMs);
